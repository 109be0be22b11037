#include "config/language_source.h"

#include <gtest/gtest.h>

#include "config/language_file.h"

namespace zentrak {
namespace {

std::string Area(const CompiledLanguage& compiled) {
  return compiled.bytes.substr(kLanguageHeaderSize);
}

TEST(LanguageSource, LaysOutHeaderAndNumberedMessages) {
  CompiledLanguage compiled = CompileLanguageSource(
      "; comment\r\n"
      "\n"
      "3 third\r\n"
      "0 zero\n"
      "1\n"
      "5   three blanks stay");
  ASSERT_EQ(compiled.error, "");
  std::string header = compiled.bytes.substr(0, kLanguageHeaderSize);
  EXPECT_EQ(header.substr(0, kLanguageFileTag.size()), kLanguageFileTag);
  EXPECT_EQ(header.find_first_not_of('\0', kLanguageFileTag.size()), std::string::npos);
  EXPECT_EQ(Area(compiled), std::string("zero\0\0\0third\0\0  three blanks stay\0", 34));
}

TEST(LanguageSource, Escapes) {
  struct Row {
    const char* source;
    std::string want;
  };
  const Row rows[] = {
      {"0 a\\\\b", std::string("a\\b\0", 4)},
      {"0 \\t\\n\\r", std::string("\t\n\r\0", 4)},
      {"0 \\x41\\xfF", std::string("A\xff\0", 3)},
      {"0 %s 100%", std::string("%s 100%\0", 8)},
  };
  for (const Row& row : rows) {
    CompiledLanguage compiled = CompileLanguageSource(row.source);
    EXPECT_EQ(compiled.error, "") << row.source;
    EXPECT_EQ(Area(compiled), row.want) << row.source;
  }
}

TEST(LanguageSource, RefusesBrokenSources) {
  struct Row {
    const char* source;
    int line;
  };
  const Row rows[] = {
      {"0 ok\nx bad", 2},     {"0 a\n0 b", 2},
      {"0 \\q", 1},           {"0 \\x4", 1},
      {"0 \\x00", 1},         {"12345 too big", 1},
      {"-1 neg", 1},          {"0 trailing \\", 1},
      {"; only comments", 0}, {"", 0},
  };
  for (const Row& row : rows) {
    CompiledLanguage compiled = CompileLanguageSource(row.source);
    EXPECT_NE(compiled.error, "") << row.source;
    EXPECT_EQ(compiled.errorLine, row.line) << row.source;
    EXPECT_EQ(compiled.bytes, "") << row.source;
  }
  std::string huge;
  for (int i = 0; i < 300; ++i) huge += std::to_string(i) + " " + std::string(250, 'x') + "\n";
  EXPECT_NE(CompileLanguageSource(huge).error, "");
}

// What the compiler writes is what the reader finds.
TEST(LanguageSource, RoundTripsThroughTheReader) {
  CompiledLanguage compiled = CompileLanguageSource(
      "4 End of session %ld\n8 Connect %s\n38 Incoming call\n228   BBS session end %s\n");
  RecognitionTexts texts = DecodeLanguageFile(compiled.bytes);
  EXPECT_EQ(texts.sessionEnd, "End of session ");
  EXPECT_EQ(texts.connect, "Connect ");
  EXPECT_EQ(texts.incomingCall, "Incoming call");
  EXPECT_EQ(texts.bbsEnd, "BBS session end");
  EXPECT_EQ(texts.outgoingCall, "");
}

}  // namespace
}  // namespace zentrak
