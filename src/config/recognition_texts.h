// The mailer's own message texts by which log lines are recognised, read from
// the mailer's language file.
#pragma once

#include <string>

namespace zentrak {

struct RecognitionTexts {
  std::string incomingCall;
  std::string outgoingCall;
  std::string outgoingCall2;
  std::string callFailed[6];
  std::string connect;
  std::string bbsCaller;
  std::string protectedSession;
  std::string remoteMailer;
  std::string remoteSysop;
  std::string sessionEnd;
  std::string sessionAborted;
  std::string fileText0;
  std::string protocolZmodem;
  std::string protocolHydra;
  std::string protocolZedzap;
  std::string protocolDirzap;
  std::string remoteAddress;
  std::string specialAbort;
  std::string fileText1;
  std::string fileText2;
  std::string fileText3;
  std::string fileText4;
  std::string fileText5;
  std::string fileText6;
  std::string arrow;
  std::string fileText7;
  std::string fileText8;
  std::string fileText9;
  std::string fileText10;
  std::string fileText11;
  std::string bbsEnd;
  std::string ignoredLine1;
  std::string ignoredLine2;
};

}  // namespace zentrak
