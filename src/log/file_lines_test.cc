// Which slot a file line stands for, what it yields, and what must not pass for
// a file line: texts in the wrong place, names that hold other texts.
#include "log/file_lines.h"

#include <gtest/gtest.h>

#include <span>

#include "config/language_file.h"
#include "config/language_source.h"
#include "log_test_texts.h"

namespace zentrak {
namespace {

using K = FileLineKind;

struct Row {
  std::string_view message;
  K kind;
  std::string_view name;
  int64_t number;
};

// Each row's message, read with the example language's texts, gives its kind, name and number.
void ExpectRecognised(std::span<const Row> rows) {
  FileLineRecogniser recogniser(testing::EnglishTexts());
  for (const Row& row : rows) {
    FileLine line = recogniser.Recognise(row.message);
    EXPECT_EQ(line.kind, row.kind) << row.message;
    EXPECT_EQ(line.name, row.name) << row.message;
    EXPECT_EQ(line.number, row.number) << row.message;
  }
}

TEST(FileLines, EachSlotToItsLine) {
  const Row rows[] = {
      {"Receiving file NODELIST.339 (212345 bytes)", K::kReceiveStart, "NODELIST.339", 212345},
      {"Sending file 0000FE12.MO1 (5321 bytes)", K::kSendStart, "0000FE12.MO1", 5321},
      {"Received NODELIST.339 (2713 cps)", K::kReceived, "NODELIST.339", 2713},
      {"Sent 0000FE12.MO1 (2210 cps)", K::kSent, "0000FE12.MO1", 2210},
      {"File README       skipped", K::kSkippedByUs, "File README", -1},
      {"File NODELIST.339 refused", K::kRefusedByUs, "File NODELIST.339", -1},
      {"Remote skipped 0000FE12.MO1", K::kSkippedByRemote, "0000FE12.MO1", -1},
      {"Remote refused 0000FE12.MO1", K::kRefusedByRemote, "0000FE12.MO1", -1},
      {"Remote delayed 0000FE12.MO1", K::kDelayedByRemote, "0000FE12.MO1", -1},
      {"NODELIST.339: resuming from offset 65536", K::kResume, "NODELIST.339:", 65536},
      {"NODELIST.339 (aborted at 98304)", K::kAbort, "NODELIST.339", 98304},
      {"NODELIST.339 -> [renamed NODELIST.33$]", K::kRenamed, "NODELIST.339", -1},
  };
  ExpectRecognised(rows);
}

TEST(FileLines, NamesAreWhateverStandsBetweenTextAndData) {
  const Row rows[] = {
      // The data is the last parenthesised part; a name may hold parentheses and blanks.
      {"Receiving file my file (2).zip (77 bytes)", K::kReceiveStart, "my file (2).zip", 77},
      {"Receiving file  (5 bytes)", K::kReceiveStart, "", 5},
      {"Receiving file", K::kReceiveStart, "", -1},
      {"Receiving file @SYSOP(LEFT,*) %s", K::kReceiveStart, "@SYSOP(LEFT,*) %s", -1},
      {"Receiving file x (no size)", K::kReceiveStart, "x", -1},
      // Numbers are read whole up to the largest 64-bit value, which stands for any larger one.
      {"Sent x (99999999999999999999 cps)", K::kSent, "x", INT64_MAX},
      {"Receiving file x (9223372036854775807 bytes)", K::kReceiveStart, "x", INT64_MAX},
      {"Receiving file x (9223372036854775808 bytes)", K::kReceiveStart, "x", INT64_MAX},
      {"Receiving file x (3000000000000000007 bytes)", K::kReceiveStart, "x", 3000000000000000007},
      {"x (aborted at 0000000000000000000000012)", K::kAbort, "x", 12},
      // Another file text inside the name does not change what the line is.
      {"Sent Remote skipped (12 cps)", K::kSent, "Remote skipped", 12},
      {"Receiving file a (aborted at 5) (9 bytes)", K::kReceiveStart, "a (aborted at 5)", 9},
  };
  ExpectRecognised(rows);
}

TEST(FileLines, TextsOutOfPlaceAreNoFileLines) {
  const std::string_view messages[] = {
      "",
      " Receiving file x (1 bytes)",  // not at the start of the message
      "Sentinel x (5 cps)",           // "Sent" is a whole word
      "Remote skippedx",
      "File x unskipped",
      "x: resuming from offset",  // no number
      "x (aborted at )",
      "x (aborted at 5) and more",  // the parentheses do not end the line
      "x -> renamed y",             // no "["
      "Address: 2:5020/1@fidonet",
      "End of session, in/out: 10/20 bytes",
  };
  FileLineRecogniser recogniser(testing::EnglishTexts());
  for (std::string_view message : messages) {
    EXPECT_EQ(recogniser.Recognise(message).kind, K::kNone) << message;
  }
}

TEST(FileLines, EmptySlotsRecogniseNothing) {
  RecognitionTexts texts;  // a language file without any file message
  texts.arrow = "->";
  FileLineRecogniser recogniser(texts);
  for (std::string_view message : {"Receiving file x (1 bytes)", "x (aborted at 5)", "skipped",
                                   "x -> [renamed y]", "Sent x"}) {
    EXPECT_EQ(recogniser.Recognise(message).kind, K::kNone) << message;
  }
}

// The texts come from the language file: the example station's messages give
// exactly the texts the lines above are read with, and another language's
// messages give its own texts.
TEST(FileLines, TextsFromCompiledMessages) {
  const char* source =
      "6 Datei empfangen\n"
      "134 Datei %-12s ausgelassen\n"
      "137 Datei %-12s abgelehnt\n"
      "138 %s: fortgesetzt ab %lu\n"
      "148 %s (abgebrochen bei %lu Bytes)\n"
      "149 Empfangen %s (%lu cps)\n"
      "150 %s -> [umbenannt %s]\n"
      "152 Datei senden\n"
      "153 Fern ausgelassen\n"
      "157 Gesendet %s (%lu cps)\n";
  CompiledLanguage compiled = CompileLanguageSource(source);
  ASSERT_EQ(compiled.error, "");
  RecognitionTexts texts = DecodeLanguageFile(compiled.bytes);
  EXPECT_EQ(texts.fileText5, "fortgesetzt ab ");
  EXPECT_EQ(texts.fileText6, "abgebrochen bei ");
  EXPECT_EQ(texts.fileText7, "umbenannt");
  FileLineRecogniser recogniser(texts);
  const Row rows[] = {
      {"Datei empfangen README.TXT (10 Bytes)", K::kReceiveStart, "README.TXT", 10},
      {"Empfangen README.TXT (3 cps)", K::kReceived, "README.TXT", 3},
      {"Gesendet A.PKT (4 cps)", K::kSent, "A.PKT", 4},
      {"README.TXT: fortgesetzt ab 4", K::kResume, "README.TXT:", 4},
      {"README.TXT (abgebrochen bei 7 Bytes)", K::kAbort, "README.TXT", 7},
      {"Datei README.TXT     ausgelassen", K::kSkippedByUs, "Datei README.TXT", -1},
      {"Fern ausgelassen A.PKT", K::kSkippedByRemote, "A.PKT", -1},
      {"Remote refused A.PKT", K::kNone, "", -1},  // message 154 missing: nothing
  };
  for (const Row& row : rows) {
    FileLine line = recogniser.Recognise(row.message);
    EXPECT_EQ(line.kind, row.kind) << row.message;
    EXPECT_EQ(line.name, row.name) << row.message;
    EXPECT_EQ(line.number, row.number) << row.message;
  }
}

}  // namespace
}  // namespace zentrak
