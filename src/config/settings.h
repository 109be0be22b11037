// Every option of a run, with its default, and the list-valued tables beside it.
//
// One naming rule: a field that one configuration keyword sets bears that
// keyword's spelling (MAKESTAT_CPS, CUT_LOG), so a sysop's line and the code
// that reads it can be found by the same word. Every other field follows the
// program's own names: tables in UpperCamelCase (DefineList, ChangeTable),
// values in lowerCamelCase (cutLogDays, timeWindow, graphicStart).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentrak {

/// Bounds of stored texts.
inline constexpr size_t kNameBound = 80;
inline constexpr size_t kSingleFileNameBound = 78;
inline constexpr size_t kTextBound = 255;

/// Table capacities; a configuration line beyond them is refused.
inline constexpr size_t kExcludePhoneCapacity = 50;
inline constexpr size_t kChangeCapacity = 200;
inline constexpr size_t kFileAliasCapacity = 16;
inline constexpr size_t kFileAliasMaskCapacity = 100;
inline constexpr size_t kSingleFileCapacity = 100;
inline constexpr size_t kSingleFileCodeCapacity = 100;

/// One CHANGE rule.
struct ChangeRule {
  bool caseInsensitive = false;  // mode "U"; mode "A" compares exactly
  std::string search;            // at most 80
  std::string replacement;       // at most 80
};

/// One FILE_ALIAS: a name and its masks (wildcards already removed).
struct FileAlias {
  std::string name;
  std::vector<std::string> masks;
};

/// One STAT line: the joined file and its report codes (negative = erase after adding).
struct SingleFileEntry {
  std::string name;  // at most 78
  std::vector<int> codes;
};

/// The report window, in days back from today and seconds since midnight.
struct TimeWindow {
  int32_t startDaysBack = 0;
  int32_t startTime = 0;
  int32_t endDaysBack = 0;
  int32_t endTime = 0;
};

/// The log's kind: the mailer's own, or binkd's.
enum class LogFormat : uint8_t { kMailer, kBinkd };

struct Settings {
  std::string LINE;
  std::string SYSOP;
  std::string ADDRESS;
  std::string STATION;
  std::string HISTFILE = "lastcall.bin";
  /// The trends store (an SQLite database); empty: none is kept.
  std::string TRENDS_DB;
  /// A Prometheus text-exposition file of the store, rewritten by every run
  /// that changed it; empty: none.
  std::string TRENDS_METRICS;
  /// The code page of remote texts (REMOTE_CHARSET); empty: bytes as they are.
  std::string REMOTE_CHARSET;
  /// REMOTE_CHARSET's "TEXT": the text reports get UTF-8 too.
  bool remoteCharsetInText = false;
  std::string LOG;
  std::string LNGFILE;
  std::string MAILER_CFG;
  LogFormat logFormat = LogFormat::kMailer;
  std::string OUTPUT;
  std::string TEMPLATE;
  bool CUT_LOG = false;
  bool CUT_LOG_NEWALG = true;
  int32_t cutLogDays = 0;

  bool MAKESTAT_SESSIONS = true;
  std::string SESSIONS_TEMPLATE = "sessions.tpl";
  std::string SESSIONS_FILE = "sessions.out";
  bool HIDE_NULL_SESSIONS = false;
  bool HIDE_SPEC_ABORT = false;

  bool MAKESTAT_LINKS = true;
  std::string LINKS_TEMPLATE = "links.tpl";
  std::string LINKS_FILE = "link.out";

  bool MAKESTAT_SYSOPS = true;
  std::string SYSOPS_TEMPLATE = "sysops.tpl";
  std::string SYSOPS_FILE = "sysops.out";
  bool TAKE_PHONE_FROM_CID = false;
  bool TAKE_PHONE_FROM_CALLING = true;
  std::string WRITE_UNKNOWN_PHONE;
  std::string WRITE_UNKNOWN_SYSOP;

  bool MAKESTAT_CPS = true;
  std::string CPS_TEMPLATE = "cps.tpl";
  std::string CPS_FILE = "cps.out";

  bool MAKESTAT_TRAFFIC = true;
  std::string TRAFFIC_TEMPLATE = "traffic.tpl";
  std::string TRAFFIC_FILE = "traffic.out";

  bool MAKESTAT_TIME = true;
  std::string TIME_TEMPLATE = "time.tpl";
  std::string TIME_FILE = "time.out";

  bool MAKESTAT_MAILERS = true;
  std::string MAILERS_TEMPLATE = "mailers.tpl";
  std::string MAILERS_FILE = "mailers.out";

  bool MAKESTAT_FILES = true;
  std::string FILES_TEMPLATE = "files.tpl";
  std::string FILES_FILE = "files.out";
  bool SHOW_ADDRESSES_IN_FILESSTAT = true;
  std::string FILE_CASE = "ASIS";

  bool MAKESTAT_HISTOGRAM = true;
  std::string HISTOGRAM_TEMPLATE = "hist.tpl";
  std::string HISTOGRAM_FILE = "hist.out";
  bool MAKE_HIST_FOR_ALL = true;
  bool DRAW_HISTOGRAM_VERTICAL_LINES = true;

  bool MAKESTAT_GRAPHIC = true;
  std::string GRAPHIC_TEMPLATE = "graphic.tpl";
  std::string GRAPHIC_FILE = "graphic.out";
  std::string GRAPHIC_TIME;

  bool MAKESTAT_DISK = true;
  std::string DISK_TEMPLATE = "disk.tpl";
  std::string DISK_FILE = "disk.out";
  std::string DISKS = "C";

  bool MAKESTAT_LASTCALL = true;
  std::string LASTCALL_TEMPLATE = "lastcall.tpl";
  std::string LASTCALL_FILE = "lastcall.out";
  // The trends report reads the trends store; off unless a station asks for it.
  bool MAKESTAT_TRENDS = false;
  std::string TRENDS_TEMPLATE = "trends.tpl";
  std::string TRENDS_FILE = "trends.out";
  // Why sessions and calls failed; off unless a station asks for it.
  bool MAKESTAT_FAILURES = false;
  std::string FAILURES_TEMPLATE = "failures.tpl";
  std::string FAILURES_FILE = "failures.out";

  bool MAKESTAT_SUMMARY = true;
  std::string SUMMARY_TEMPLATE = "summary.tpl";
  std::string SUMMARY_FILE = "summary.out";

  // Tables.
  std::vector<std::string> DefineList;           // "%NAME%=value"
  std::vector<std::string> AliasList;            // "name=address"
  std::vector<std::string> ExcludeAddressList;   // masks
  std::vector<std::string> ExcludePhoneList;     // at most kExcludePhoneCapacity
  std::vector<ChangeRule> ChangeTable;           // at most kChangeCapacity
  std::vector<FileAlias> FileAliasTable;         // at most kFileAliasCapacity
  std::vector<SingleFileEntry> SingleFileTable;  // at most kSingleFileCapacity

  TimeWindow timeWindow;
  int32_t graphicStart = 0;
  int32_t graphicEnd = 0;
};

/// A fresh settings record with every default (the member initialisers above).
inline Settings SetDefaults() { return Settings{}; }

}  // namespace zentrak
