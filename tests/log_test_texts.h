// Test helpers for the log subsystem: the example station's English recognition
// texts and log lines in the mailer's column layout.
#pragma once

#include <string>
#include <string_view>

#include "config/recognition_texts.h"

namespace zentrak::testing {

/// The recognition texts that the example station's English language file yields.
inline RecognitionTexts EnglishTexts() {
  RecognitionTexts t;
  t.incomingCall = "Incoming call";
  t.outgoingCall = "Outgoing call";
  t.outgoingCall2 = "Calling via IP";
  const char* failed[6] = {"No carrier", "Busy",        "No dial tone",
                           "No answer",  "Call failed", "Connection refused"};
  for (int i = 0; i < 6; ++i) t.callFailed[i] = failed[i];
  t.connect = "Connect ";
  t.bbsCaller = "BBS caller detected";
  t.protectedSession = "Password-protected session";
  t.remoteMailer = "Mailer: ";
  t.remoteSysop = "Sysop: ";
  t.sessionEnd = "End of session, in/out: ";
  t.sessionAborted = "session aborted";
  t.protocolZmodem = "ZModem transfer";
  t.protocolHydra = "Hydra transfer";
  t.protocolZedzap = "ZedZap transfer";
  t.protocolDirzap = "DirZap transfer";
  t.remoteAddress = "Address: ";
  t.specialAbort = "Session closed by remote request";
  t.bbsEnd = "BBS session end";
  t.ignoredLine1 = " modem idle";
  t.ignoredLine2 = " waiting for calls";
  t.fileText0 = "Receiving file";
  t.fileText1 = "Sent";
  t.fileText2 = "Received";
  t.fileText3 = "skipped";
  t.fileText4 = "refused";
  t.fileText5 = "resuming from offset ";
  t.fileText6 = "aborted at ";
  t.arrow = "->";
  t.fileText7 = "renamed";
  t.fileText8 = "Sending file";
  t.fileText9 = "Remote skipped";
  t.fileText10 = "Remote refused";
  t.fileText11 = "Remote delayed";
  return t;
}

/// One log line: level, "DD Mon", "hh:mm:ss", a process field, the message from column 24.
inline std::string LogLine(std::string_view date, std::string_view time, std::string_view message,
                           char level = '*') {
  std::string line;
  line += level;
  line += ' ';
  line += date;
  line += ' ';
  line += time;
  line += " P001 ";
  line += message;
  return line;
}

}  // namespace zentrak::testing
