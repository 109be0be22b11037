// The generator walks a clock forward from the first day's midnight and writes
// one session (or a failed call, a BBS caller, some noise) at a time. Its only
// randomness is a splitmix64 stream, so a seed gives the same bytes everywhere.
#include "tools/log_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "support/calendar.h"
#include "tools/log_generator_parts.h"

namespace zentrak {
namespace {

using namespace generator;

struct Link {
  std::string address;  // as the log writes it
  std::string sysop;
  std::string mailer;
  std::string phone;
  std::string station;
  std::string location;
  std::string flags;
  std::string aka;   // non-empty: a second address presented before the main one
  std::string host;  // non-empty: reached over IP
  bool isProtected = false;
  int protocol = 0;
  uint32_t bundle = 0;  // the stem of its echomail bundles
};

const char* const kFlags[] = {"CM,XA,V34,V42B", "XA,V32B,V42B", "CM,IBN,INA:example.net", "XW,V34",
                              "CM,XX,H16,V42B,ZYX"};
const char* const kPlatforms[] = {"/W32", "/LNX", "/OS2", "/DOS", "/FBSD", ""};
const char* const kConnects[] = {"33600/ARQ/V42BIS", "31200/ARQ/LAPM", "28800/ARQ",
                                 "19200/ARQ/V42",    "14400/ARQ",      "2400",
                                 "45333/ARQ/V90"};
const char* const kFailures[] = {"No carrier", "Busy",        "No dial tone",
                                 "No answer",  "Call failed", "Connection refused"};
const char* const kProtocols[] = {"ZModem transfer", "Hydra transfer", "ZedZap transfer",
                                  "DirZap transfer"};
const char* const kModemNoise[] = {"Modem reports: RING", "Modem reports: OK",
                                   "Modem reports: NO CARRIER", "Modem reports: +FCERROR"};

Link MakeLink(Random& random, int index) {
  Link link;
  int net = random.Pick(kNets);
  int zone = index % 17 == 0 ? 1 : 2;
  link.address =
      NumberText(zone) + ":" + NumberText(net) + "/" + NumberText(random.Between(1, 999));
  if (random.Chance(0.25)) link.address += "." + NumberText(random.Between(1, 40));
  link.sysop = std::string(random.Pick(kFirstNames)) + " " + random.Pick(kLastNames);
  std::string product = random.Pick(kProducts);
  link.mailer = product + " " + NumberText(random.Between(1, 3)) + "." +
                NumberText(random.Between(0, 25)) + random.Pick(kPlatforms);
  if (product.back() == '!') link.mailer = product + " 1.0";
  if (random.Chance(0.3)) {
    link.host = "f" + NumberText(random.Between(1, 999)) + ".n" + NumberText(net) + ".example.net";
  } else {
    link.phone = "7-095-" + NumberText(random.Between(100, 999)) + "-" +
                 NumberText(random.Between(1000, 9999));
  }
  if (random.Chance(0.1)) link.aka = "2:5020/" + NumberText(random.Between(1000, 9999));
  link.station = std::string(random.Pick(kStationWords)) + " " + random.Pick(kStationKinds);
  link.location = random.Pick(kCities);
  link.flags = random.Pick(kFlags);
  link.isProtected = random.Chance(0.6);
  link.protocol = static_cast<int>(random.Below(4));
  link.bundle = static_cast<uint32_t>(random.Next());
  return link;
}

class Generator {
 public:
  Generator(const LogGeneratorOptions& options, const std::function<void(std::string_view)>& sink)
      : options_(options), sink_(sink), random_(options.seed) {
    days_ = options.days > 0 ? options.days : DefaultDaysFor(options.bytes);
    firstDay_ = DaysFromCivil(options.endYear, options.endMonth, options.endDay) - days_ + 1;
    int linkCount = 300 + static_cast<int>(random_.Below(100));
    if (options.links > 0) linkCount = std::max(options.links, 12);
    for (int i = 0; i < linkCount; ++i) links_.push_back(MakeLink(random_, i));
    // The addresses the example station's aliases give the named links.
    if (options.links > 0) MakeAddressesDistinct(links_, {"2:5020/1", "2:5020/2", "2:5020/77"});
    // A few links log under a name that the example station maps with ALIAS lines.
    links_[3].address = "Hub";
    links_[7].address = "Neighbour";
    links_[11].address = "Net Coordinator";
    buffer_.reserve(1 << 20);
    if (options.bytes != 0) {
      // About 1.6 KB and 300 s per activity at full scale.
      double perDay = static_cast<double>(options.bytes) / days_ / 1700.0;
      timeScale_ = std::min(1.0, kSecondsPerDay / std::max(perDay, 1.0) / 1500.0);
    }
  }

  uint64_t Run() {
    const int64_t end = int64_t{days_} * kSecondsPerDay;
    now_ = random_.Below(600);
    while (now_ < end && !Full()) {
      uint64_t before = written_ + buffer_.size();
      int64_t started = now_;
      Activity();
      uint64_t produced = written_ + buffer_.size() - before;
      now_ += std::max<int64_t>(1, Gap(produced, end) - (now_ - started));
    }
    Flush();
    return written_;
  }

 private:
  bool Full() const { return options_.bytes != 0 && written_ + buffer_.size() >= options_.bytes; }

  // Seconds until the next activity: spreads the wanted bytes evenly over the
  // remaining time, or follows the sessions-per-day density.
  int64_t Gap(uint64_t produced, int64_t end) {
    double mean;
    if (options_.bytes != 0) {
      double left =
          static_cast<double>(options_.bytes) - static_cast<double>(written_ + buffer_.size());
      double rate = std::max(left, 1.0) / static_cast<double>(std::max<int64_t>(end - now_, 1));
      mean = static_cast<double>(produced) / rate;
    } else {
      mean = static_cast<double>(kSecondsPerDay) / std::max(options_.sessionsPerDay, 1);
    }
    return static_cast<int64_t>(mean * (0.2 + 1.6 * random_.Unit()));
  }

  // Seconds that pass inside an activity, shrunk when the wanted size packs more
  // activities into a day than one line could really carry.
  int64_t Step(int64_t low, int64_t high) {
    return static_cast<int64_t>(static_cast<double>(random_.Between(low, high)) * timeScale_ + 0.5);
  }

  void Activity() {
    double kind = random_.Unit();
    if (kind < 0.45) return Outgoing();
    if (kind < 0.85) return Incoming(false);
    if (kind < 0.90) return Incoming(true);
    Noise();
  }

  // A given link count is met exactly: each address is taken once, in order,
  // until it had a session, and the usual popularity rules after that.
  const Link& SomeLink() {
    if (options_.links > 0 && unseen_ < links_.size()) return links_[unseen_];
    return links_[PopularIndex(random_, links_.size())];
  }

  void Outgoing() {
    const Link& link = SomeLink();
    std::string target = link.address + ", ";
    if (!link.host.empty()) {
      Line('*', "Calling via IP " + target + link.host);
    } else {
      Line('*', "Outgoing call to " + target + "ATDT" + link.phone);
    }
    int attempts = 0;
    while (random_.Chance(0.35) && attempts++ < 4) {
      now_ += Step(15, 60);
      Line('!', random_.Pick(kFailures));
      if (random_.Chance(0.5)) return;
      now_ += Step(5, 30);
      Line('*', "Outgoing call to " + target + "ATDT" + (link.phone.empty() ? "0" : link.phone));
    }
    now_ += Step(10, 40);
    Line('%', std::string("Connect ") + (link.host.empty() ? random_.Pick(kConnects) : "0/TCP"));
    Mailing(link);
  }

  void Incoming(bool bbs) {
    Line('*', "Incoming call");
    now_ += Step(5, 25);
    Line('%', std::string("Connect ") + random_.Pick(kConnects));
    if (bbs) {
      now_ += Step(2, 10);
      Line('i', "BBS caller detected");
      now_ += Step(60, 1800);
      Line('i', "  BBS session end (" + NumberText(random_.Between(1, 30)) + " min)");
      return;
    }
    Mailing(SomeLink());
  }

  void Mailing(const Link& link) {
    if (options_.links > 0 && unseen_ < links_.size() && &link == &links_[unseen_]) ++unseen_;
    now_ += Step(1, 5);
    // The mailer lists the AKAs first; the main address comes last.
    if (!link.aka.empty()) Line('@', "Address: " + link.aka + "@fidonet");
    Line('@', "Address: " + link.address + "@fidonet");
    Line('%', "Mailer: " + link.mailer);
    Line('%', "Sysop: " + link.sysop);
    if (!options_.terse) {
      Line('%', "System: " + link.station + Padding());
      Line('%', "Location: " + link.location + Padding());
      Line('%', "Flags: " + link.flags + Padding());
    }
    if (link.isProtected) Line('%', "Password-protected session");
    now_ += Step(1, 4);
    Line('%', kProtocols[link.protocol]);
    int64_t received = 0;
    int64_t sent = 0;
    int files = static_cast<int>(random_.Between(options_.filesMin, options_.filesMax));
    for (int i = 0; i < files; ++i) {
      bool in = random_.Chance(0.5);
      int64_t moved = File(link, in);
      (in ? received : sent) += moved;
    }
    now_ += Step(1, 20);
    if (random_.Chance(0.03)) Line('%', "Session closed by remote request");
    std::string end =
        "End of session, in/out: " + NumberText(received) + "/" + NumberText(sent) + " bytes";
    if (random_.Chance(0.05)) end += ", session aborted";
    Line('%', end);
  }

  std::string Padding() {
    return generator::Padding(random_, options_.padMin, options_.padMax, kFlags);
  }

  // One file transfer: its start line, then how it ended. Returns the bytes
  // that crossed the line.
  int64_t File(const Link& link, bool in) {
    std::string name = FileName(random_, link.bundle, firstDay_ + now_ / kSecondsPerDay);
    int64_t size = static_cast<int64_t>(std::exp(6.0 + 8.0 * random_.Unit()));
    char level = in ? '<' : '>';
    Line(level,
         (in ? "Receiving file " : "Sending file ") + name + " (" + NumberText(size) + " bytes)");
    double fate = random_.Unit();
    if (fate < 0.02) {  // not taken: ours to skip or refuse, or the remote's to skip, refuse, delay
      now_ += Step(0, 1);
      const char* remote[] = {"Remote skipped ", "Remote refused ", "Remote delayed "};
      if (in) {
        Line(level, "File " + Padded(name) + (random_.Chance(0.5) ? " skipped" : " refused"));
      } else {
        Line(level, remote[random_.Below(3)] + name);
      }
      return 0;
    }
    int64_t offset = 0;
    if (fate < 0.05) {
      offset = size / 2;
      Line(level, name + ": resuming from offset " + NumberText(offset));
    }
    int64_t seconds = Step(1 + (size - offset) / 9000, 1 + (size - offset) / 2000);
    now_ += seconds;
    // The mailer measures finer than our seconds: its figure lies near ours.
    int64_t cps = (size - offset) * random_.Between(90, 110) / 100 / std::max<int64_t>(seconds, 1);
    if (fate > 0.98) {  // broken off
      int64_t at = offset + (size - offset) / 3;
      Line(level, name + " (aborted at " + NumberText(at) + ")");
      return at - offset;
    }
    Line(level, (in ? "Received " : "Sent ") + name + " (" + NumberText(cps) + " cps)");
    if (in && fate > 0.97) Line(level, name + " -> [renamed " + name.substr(0, 8) + ".$$$]");
    return size - offset;
  }

  // A name in a column of twelve, as the mailer pads it.
  static std::string Padded(const std::string& name) {
    return name.size() >= 12 ? name : name + std::string(12 - name.size(), ' ');
  }

  void Noise() {
    if (options_.terse) return;
    int count = static_cast<int>(random_.Between(1, 3));
    for (int i = 0; i < count; ++i) {
      double kind = random_.Unit();
      if (kind < 0.3) {
        Line('.', random_.Pick(kModemNoise) + Padding());
      } else if (kind < 0.6) {
        Line('.', "Outbound refreshing time: 0." + NumberText(random_.Between(10, 99)) + " sec");
      } else if (kind < 0.8) {
        Line('.', "Port 001: modem idle" + Padding());
      } else {
        Line('.', "Port 001: waiting for calls" + Padding());
      }
      now_ += Step(1, 30);
    }
  }

  // Lines past the last day or beyond the wanted size are left out: the log
  // simply ends inside whatever was going on.
  void Line(char level, std::string_view message) {
    if (Full() || now_ >= int64_t{days_} * kSecondsPerDay) return;
    int64_t day = firstDay_ + now_ / kSecondsPerDay;
    int64_t second = now_ % kSecondsPerDay;
    char port[16];
    std::snprintf(port, sizeof port, " Z%03d ", static_cast<int>(1 + (now_ / 7) % 4));
    buffer_ += level;
    buffer_ += ' ';
    buffer_ += DateTimeText(day, second);
    buffer_ += port;
    buffer_ += message;
    buffer_ += options_.crlf ? "\r\n" : "\n";
    if (buffer_.size() >= (1 << 20) - 512) Flush();
  }

  void Flush() {
    if (buffer_.empty()) return;
    sink_(buffer_);
    written_ += buffer_.size();
    buffer_.clear();
  }

  const LogGeneratorOptions& options_;
  const std::function<void(std::string_view)>& sink_;
  Random random_;
  int32_t days_ = 1;
  int64_t firstDay_ = 0;
  int64_t now_ = 0;  // seconds since the first day's midnight
  double timeScale_ = 1.0;
  std::vector<Link> links_;
  size_t unseen_ = 0;  // with a given link count: the first link without a session
  std::string buffer_;
  uint64_t written_ = 0;
};

}  // namespace

int32_t DefaultDaysFor(uint64_t bytes) {
  uint64_t days = bytes / (8ull << 20);
  return static_cast<int32_t>(std::clamp<uint64_t>(days, 1, 300));
}

uint64_t GenerateLog(const LogGeneratorOptions& options,
                     const std::function<void(std::string_view)>& sink) {
  if (options.binkd) return GenerateBinkdLog(options, sink);
  return Generator(options, sink).Run();
}

}  // namespace zentrak
