// Decoding the language file: locate message N, take it up to its stop
// character, shorten it by the slot's rule, cut it to the slot's bound.
#include "config/language_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "console/run_stop.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

// Longest text taken from a message before its rule and bound apply.
constexpr size_t kMessageTake = 79;

enum class Rule {
  kNone,
  kCutBeforeCharBeforePercent,  // "Sent %s" -> "Sent"
  kSkipPercentFieldsRepeatedly,
  kAfterBlankUntilPercent,
  kAfterParenUntilPercent,
  kRenamedTarget,
  kTrimBlanks,
  kSkipFirstPercentField,
};

using SlotRef = std::string& (*)(RecognitionTexts&);

struct Slot {
  SlotRef slot;
  int message;  // -1: a fixed text instead of a message
  char stop;
  Rule rule;
  size_t bound;
};

#define SLOT(field) [](RecognitionTexts& t) -> std::string& { return t.field; }

// Every recognition text with its message number, stop character, rule and bound.
const Slot kSlots[] = {
    {SLOT(incomingCall), 38, '\0', Rule::kNone, 30},
    {SLOT(outgoingCall), 11, '\0', Rule::kNone, 30},
    {SLOT(outgoingCall2), 230, '\0', Rule::kNone, 30},
    {SLOT(callFailed[0]), 31, '\0', Rule::kNone, 30},
    {SLOT(callFailed[1]), 30, '\0', Rule::kNone, 30},
    {SLOT(callFailed[2]), 29, '\0', Rule::kNone, 30},
    {SLOT(callFailed[3]), 32, '\0', Rule::kNone, 30},
    {SLOT(callFailed[4]), 33, '\0', Rule::kNone, 30},
    {SLOT(callFailed[5]), 34, '\0', Rule::kNone, 30},
    {SLOT(connect), 8, '%', Rule::kNone, 30},
    {SLOT(bbsCaller), 249, '\0', Rule::kNone, 30},
    {SLOT(protectedSession), 82, '\0', Rule::kNone, 30},
    {SLOT(remoteMailer), 65, '%', Rule::kNone, 30},
    {SLOT(remoteSysop), 66, '%', Rule::kNone, 30},
    {SLOT(sessionEnd), 4, '%', Rule::kNone, 30},
    {SLOT(sessionAborted), 5, '\0', Rule::kNone, 30},
    {SLOT(fileText0), 6, '\0', Rule::kNone, 30},
    {SLOT(protocolZmodem), 161, '\0', Rule::kNone, 20},
    {SLOT(protocolHydra), 233, '\0', Rule::kNone, 20},
    {SLOT(protocolZedzap), 162, '\0', Rule::kNone, 20},
    {SLOT(protocolDirzap), 163, '\0', Rule::kNone, 20},
    {SLOT(remoteAddress), 57, '%', Rule::kNone, 20},
    {SLOT(specialAbort), 55, '\0', Rule::kNone, 50},
    {SLOT(fileText1), 157, '\0', Rule::kCutBeforeCharBeforePercent, 10},
    {SLOT(fileText2), 149, '\0', Rule::kCutBeforeCharBeforePercent, 10},
    {SLOT(fileText3), 134, '\0', Rule::kSkipPercentFieldsRepeatedly, 50},
    {SLOT(fileText4), 137, '\0', Rule::kSkipPercentFieldsRepeatedly, 50},
    {SLOT(fileText5), 138, '\0', Rule::kAfterBlankUntilPercent, 50},
    {SLOT(fileText6), 148, '\0', Rule::kAfterParenUntilPercent, 50},
    {SLOT(arrow), -1, '\0', Rule::kNone, 2},
    {SLOT(fileText7), 150, '\0', Rule::kRenamedTarget, 60},
    {SLOT(fileText8), 152, '\0', Rule::kNone, 20},
    {SLOT(fileText9), 153, '\0', Rule::kNone, 20},
    {SLOT(fileText10), 154, '\0', Rule::kNone, 20},
    {SLOT(fileText11), 155, '\0', Rule::kNone, 20},
    {SLOT(bbsEnd), 228, '%', Rule::kTrimBlanks, 20},
    {SLOT(ignoredLine1), 167, '\0', Rule::kSkipFirstPercentField, 20},
    {SLOT(ignoredLine2), 168, '\0', Rule::kSkipFirstPercentField, 20},
};

#undef SLOT

// Message N begins after the N-th NUL of the area; message 0 at its start.
std::string_view Message(std::string_view area, int number) {
  size_t at = 0;
  for (int seen = 0; seen < number; ++seen) {
    size_t nul = area.find('\0', at);
    if (nul == std::string_view::npos) return {};
    at = nul + 1;
  }
  return area.substr(at);
}

std::string_view Take(std::string_view message, char stop) {
  message = message.substr(0, message.find('\0'));
  if (stop != '\0') message = message.substr(0, message.find(stop));
  return message.substr(0, kMessageTake);
}

// Removes everything up to and including `mark` plus `extra` more characters;
// without the mark the text stays.
std::string DropThrough(std::string text, std::string_view mark, size_t extra = 0) {
  size_t at = text.find(mark);
  if (at == std::string::npos) return text;
  size_t end = std::min(text.size(), at + mark.size() + extra);
  return text.substr(end);
}

std::string CutAt(std::string text, char mark) { return text.substr(0, text.find(mark)); }

std::string ApplyRule(std::string text, Rule rule) {
  switch (rule) {
    case Rule::kNone:
      return text;
    case Rule::kCutBeforeCharBeforePercent: {
      size_t percent = text.find('%');
      if (percent == std::string::npos) return text;
      return text.substr(0, percent == 0 ? 0 : percent - 1);
    }
    case Rule::kSkipPercentFieldsRepeatedly:
      while (Contains(text, "%")) text = DropThrough(std::move(text), "%", 5);
      return text;
    case Rule::kAfterBlankUntilPercent:
      return CutAt(DropThrough(std::move(text), " "), '%');
    case Rule::kAfterParenUntilPercent:
      return CutAt(DropThrough(std::move(text), "("), '%');
    case Rule::kRenamedTarget:
      return CutAt(DropThrough(DropThrough(std::move(text), "->", 1), "["), ' ');
    case Rule::kTrimBlanks:
      return std::string(TrimBlanks(text));
    case Rule::kSkipFirstPercentField:
      return DropThrough(std::move(text), "%", 5);
  }
  return text;
}

}  // namespace

RecognitionTexts DecodeLanguageFile(std::string_view wholeFileBytes) {
  std::string_view area;
  if (wholeFileBytes.size() > kLanguageHeaderSize) {
    area = wholeFileBytes.substr(kLanguageHeaderSize, kLanguageAreaLimit);
  }
  RecognitionTexts texts;
  for (const Slot& slot : kSlots) {
    std::string text = slot.message < 0 ? std::string("->")
                                        : std::string(Take(Message(area, slot.message), slot.stop));
    slot.slot(texts) = CutTo(ApplyRule(std::move(text), slot.rule), slot.bound);
  }
  return texts;
}

void ReadLanguageFile(const Settings& settings, RecognitionTexts& texts, Console& console,
                      Platform& platform) {
  const std::string& path = settings.LNGFILE;
  errno = 0;
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kRead);
  if (!file) {
    console.ConsoleLog(kError, " Unable to open %s (%s)", {"language file", path});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, " Reading %s (%s)", {"language file", path});
  std::string bytes(kLanguageHeaderSize + kLanguageAreaLimit, '\0');
  size_t got = file->Read(bytes.data(), bytes.size());
  bytes.resize(got);
  texts = DecodeLanguageFile(bytes);
}

}  // namespace zentrak
