#include "config/language_file.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "console/run_stop.h"
#include "test_support.h"

namespace zentrak {
namespace {

// A language file built by hand: a header, then messages 0..max each ended by NUL.
std::string LanguageBytes(const std::map<int, std::string>& messages) {
  std::string bytes(kLanguageHeaderSize, 'H');
  int last = messages.empty() ? -1 : messages.rbegin()->first;
  for (int n = 0; n <= last; ++n) {
    auto found = messages.find(n);
    if (found != messages.end()) bytes += found->second;
    bytes += '\0';
  }
  return bytes;
}

using T = RecognitionTexts;

TEST(LanguageFile, SlotsTakeTheirMessageStopRuleAndBound) {
  struct Row {
    int message;
    std::string text;
    std::string T::*field;
    std::string want;
  };
  const std::string long90(90, 'w');
  const Row rows[] = {
      {38, "Incoming call", &T::incomingCall, "Incoming call"},
      {8, "Connect %s", &T::connect, "Connect "},
      {8, "Connect", &T::connect, "Connect"},
      {4, "End of session %ld", &T::sessionEnd, "End of session "},
      {57, "Address: %s", &T::remoteAddress, "Address: "},
      {5, "aborted %s", &T::sessionAborted, "aborted %s"},
      {157, "Sent %s", &T::fileText1, "Sent"},
      {149, "%s got", &T::fileText2, ""},
      {149, "Received a long file %s", &T::fileText2, "Received a"},
      {134, "File %-12s skipped", &T::fileText3, "skipped"},
      {137, "A %-12s B %-12s C", &T::fileText4, "C"},
      {137, "tail %12", &T::fileText4, ""},
      {138, "Skipping file %s", &T::fileText5, "file "},
      {138, "Skipping", &T::fileText5, "Skipping"},
      {148, "Delayed (till %s)", &T::fileText6, "till "},
      {150, "Renamed %s -> [new %s]", &T::fileText7, "new"},
      {228, "  BBS session end %s", &T::bbsEnd, "BBS session end"},
      {167, "Port %03lu: modem idle", &T::ignoredLine1, " modem idle"},
      {168, "Waiting", &T::ignoredLine2, "Waiting"},
      {38, long90, &T::incomingCall, std::string(30, 'w')},
      {161, long90, &T::protocolZmodem, std::string(20, 'w')},
      {55, long90, &T::specialAbort, std::string(50, 'w')},
      // At most 79 characters are taken before the rule runs.
      {134, "File %-12s " + std::string(60, 'x'), &T::fileText3, std::string(50, 'x')},
      {137, std::string(70, 'x') + "%-12s tail", &T::fileText4, "tai"},
  };
  for (const Row& row : rows) {
    RecognitionTexts texts = DecodeLanguageFile(LanguageBytes({{row.message, row.text}}));
    EXPECT_EQ(texts.*row.field, row.want) << row.message << " " << row.text;
  }
}

TEST(LanguageFile, MessagesAreCountedByTheirNuls) {
  RecognitionTexts texts = DecodeLanguageFile(
      LanguageBytes({{0, "zero"}, {4, "End %d"}, {5, "Aborted"}, {6, "Receiving"}}));
  EXPECT_EQ(texts.sessionEnd, "End ");
  EXPECT_EQ(texts.sessionAborted, "Aborted");
  EXPECT_EQ(texts.fileText0, "Receiving");
  EXPECT_EQ(texts.arrow, "->");
  EXPECT_EQ(texts.incomingCall, "");
  RecognitionTexts failed = DecodeLanguageFile(LanguageBytes(
      {{29, "f29"}, {30, "f30"}, {31, "f31"}, {32, "f32"}, {33, "f33"}, {34, "f34"}}));
  EXPECT_EQ(std::vector<std::string>(failed.callFailed, failed.callFailed + 6),
            (std::vector<std::string>{"f31", "f30", "f29", "f32", "f33", "f34"}));
}

// Nothing beyond the bytes read is ever looked at.
TEST(LanguageFile, ShortAndTruncatedFiles) {
  std::string whole = LanguageBytes({{4, "End of session %d"}, {8, "Connect at %s"}});
  const std::string inputs[] = {
      "", std::string(10, 'H'), std::string(kLanguageHeaderSize, 'H'),
      whole.substr(0, whole.size() - 5),  // message 8 cut short, no NUL
  };
  for (const std::string& bytes : inputs) {
    RecognitionTexts texts = DecodeLanguageFile(bytes);
    EXPECT_EQ(texts.arrow, "->");
    EXPECT_EQ(texts.incomingCall, "");
    EXPECT_EQ(texts.bbsEnd, "");
  }
  EXPECT_EQ(DecodeLanguageFile(inputs[3]).connect, "Connect a");
  EXPECT_EQ(DecodeLanguageFile(inputs[3]).sessionEnd, "End of session ");
  EXPECT_EQ(DecodeLanguageFile(whole.substr(0, whole.size() - 12)).connect, "Co");

  // Only the first 65535 bytes of the area are read: message 4 starts at the
  // last of them and is cut there; message 8 lies beyond.
  std::string far = std::string(kLanguageHeaderSize, 'H') + std::string(65530, 'f') +
                    std::string(4, '\0') + "End %d" + std::string(4, '\0') + "Connect %s";
  EXPECT_EQ(DecodeLanguageFile(far).sessionEnd, "E");
  EXPECT_EQ(DecodeLanguageFile(far).connect, "");
}

// Arbitrary bytes never make the reader look outside them (run under the
// sanitizers to see it) and never leave a slot beyond its bound.
TEST(LanguageFile, ArbitraryBytesStayWithinBounds) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 200; ++round) {
    std::string bytes(next() % 700, '\0');
    for (char& c : bytes) {
      uint32_t r = next() >> 16;
      c = r % 4 == 0 ? '\0' : r % 7 == 0 ? '%' : static_cast<char>(r);
    }
    RecognitionTexts texts = DecodeLanguageFile(bytes);
    EXPECT_LE(texts.fileText7.size(), 60u);
    EXPECT_LE(texts.bbsEnd.size(), 20u);
    EXPECT_EQ(texts.arrow, "->");
  }
}

TEST(LanguageFile, ReadsTheNamedFile) {
  testing::TempDir dir;
  testing::TestConsole tc;
  Settings settings = SetDefaults();
  RecognitionTexts texts;
  settings.LNGFILE = dir.File("english.lng");
  try {
    ReadLanguageFile(settings, texts, tc.console, NativePlatform());
    ADD_FAILURE() << "a missing file must stop the run";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.exitStatus, 1);
  }
  EXPECT_EQ(tc.Masked(), "! STAMP Unable to open language file (" + settings.LNGFILE +
                             ")\n! STAMP No such file or directory\n");
  tc.Clear();
  testing::WriteFile(settings.LNGFILE, LanguageBytes({{38, "Ring"}}));
  ReadLanguageFile(settings, texts, tc.console, NativePlatform());
  EXPECT_EQ(tc.Masked(), "% STAMP Reading language file (" + settings.LNGFILE + ")\n");
  EXPECT_EQ(texts.incomingCall, "Ring");
}

}  // namespace
}  // namespace zentrak
