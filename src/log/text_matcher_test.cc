// The one-pass matcher must answer exactly as one plain search per text.
#include "log/text_matcher.h"

#include <gtest/gtest.h>

#include <random>

#include "log_test_texts.h"

namespace zentrak {
namespace {

TEST(TextMatcher, AgreesWithPlainSearchOnRandomLines) {
  std::vector<std::string> texts = {"Connect ",
                                    "Connection refused",
                                    "Co",
                                    "Busy",
                                    "x",
                                    "",
                                    "aaa",
                                    "aa",
                                    "End of session, in/out: ",
                                    "Mailer: ",
                                    "ab",
                                    "ba",
                                    "aaaaab",
                                    "ababa",
                                    "babab",
                                    "Conne",
                                    "nect ",
                                    "bbbbbbbbbbbbbbbbbbbbb"};
  TextMatcher matcher(texts);
  // Lines built from pieces of the texts, so that near misses and overlaps are common.
  std::vector<std::string> pieces = {
      "Conn",    "ect ", "ion refused", "Bus", "y", "x", "a", "b", " ", "End of session, in/out: ",
      "Mailer:", "\0",   "Co"};
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    ASSERT_EQ(matcher.Match(line), matcher.MatchPlain(line)) << line;
  }
}

TEST(TextMatcher, CornerCases) {
  std::vector<std::string> texts = {"abc", "", "c", "bc"};
  TextMatcher matcher(texts);
  struct Row {
    const char* line;
    uint64_t found;
  } rows[] = {
      {"", 0}, {"ab", 0}, {"abc", 0b1101}, {"xxabc", 0b1101}, {"bc", 0b1100}, {"c", 0b0100},
  };
  for (const Row& row : rows) EXPECT_EQ(matcher.Match(row.line), row.found) << row.line;
}

TEST(TextMatcher, EnglishTextsOnLogLines) {
  RecognitionTexts t = testing::EnglishTexts();
  std::vector<std::string> texts = {t.incomingCall,   t.connect,       t.sessionEnd,
                                    t.sessionAborted, t.remoteAddress, t.ignoredLine1};
  TextMatcher matcher(texts);
  std::mt19937 random(7);
  const char* messages[] = {"Incoming call",
                            "Connect 33600/ARQ",
                            "Address: 2:5020/1@fidonet",
                            "End of session, in/out: 1/2 bytes, session aborted",
                            "Port 001: modem idle",
                            "Incoming cal",
                            "Connect"};
  for (int round = 0; round < 2000; ++round) {
    std::string line = testing::LogLine("07 Dec", "10:00:00", messages[random() % 7]);
    line += messages[random() % 7];
    ASSERT_EQ(matcher.Match(line), matcher.MatchPlain(line)) << line;
  }
}

}  // namespace
}  // namespace zentrak
