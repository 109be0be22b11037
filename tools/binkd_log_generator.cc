// binkd's log of a busy node. The daemon's manager process accepts calls and
// hands each session to a process (or thread) of its own, so sessions overlap
// and their lines interleave, told apart only by the process id. Each session
// is written whole, every line with its own time, into a queue ordered by
// time; the log then catches up to the start of the next session, so only the
// sessions still open are held in memory.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <queue>
#include <set>
#include <vector>

#include "support/calendar.h"
#include "tools/log_generator.h"
#include "tools/log_generator_parts.h"

namespace zentrak {
namespace {

using namespace generator;

// The node's own binkd: the generation decides the session line's wording,
// the build decides the process ids and the paths.
enum class Generation { k09, k10, k11 };

struct BinkdLink {
  std::string address;  // without the domain
  std::string aka;      // non-empty: a second address it presents
  std::string sysop;
  std::string station;
  std::string location;  // empty: the remote sends none
  std::string nodeFlags;
  std::string version;
  std::string host;  // empty: known by its IP only
  std::string ip;
  int zoneOffset = 3;  // the remote's clock, hours east of UTC
  int64_t speed = 0;   // bytes a second its line carries
  bool isProtected = false;
  uint32_t bundle = 0;
};

// One line of the log still to be written: the queue orders by time, then by
// the order the lines were made in, so a session's lines stay in order.
struct PendingLine {
  int64_t time = 0;
  uint64_t order = 0;
  uint64_t session = 0;
  std::string text;  // the whole line but its end; empty: a restart's empty line
  bool operator>(const PendingLine& other) const {
    return time != other.time ? time > other.time : order > other.order;
  }
};

const char* const kNodeFlags[] = {"115200,TCP,BINKP", "CM,IBN", "CM,XA,IBN,INA:binkp.example.net",
                                  "MO,IBN:24555", "CM,IBN,ITN"};
const char* const kBinkdVersions[] = {"binkd/1.1a-115/Linux", "binkd/1.1a-112/Win64",
                                      "binkd/1.0.4/Linux",    "binkd/1.0.3/Win32",
                                      "binkd/0.9.11/OS2",     "binkd/1.1a-99/FreeBSD"};
const char* const kOtherPlatforms[] = {"/Win32", "/Linux", "/OS2", "/FreeBSD"};
const char* const kConnectFailures[] = {
    "connection to %s@fidonet failed: {111} Connection refused",
    "connection to %s@fidonet failed: {110} Connection timed out",
    "unable to connect: {113} No route to host",
    "unable to connect: {-2} Name or service not known"};
const char* const kSessionErrors[] = {"recv: connection closed by foreign host", "timeout!",
                                      "send: {104} Connection reset by peer",
                                      "rerror: {5} Input/output error"};
const char* const kBusyReasons[] = {"got M_BSY: Too many servers", "got M_BSY: Remote is busy"};

// A bare IPv4 or IPv6 address of the documentation ranges.
std::string MakeIp(Random& random) {
  if (random.Chance(0.05)) return "2001:db8::" + NumberText(random.Between(1, 999));
  const char* const nets[] = {"192.0.2.", "198.51.100.", "203.0.113."};
  return random.Pick(nets) + NumberText(random.Between(1, 254));
}

BinkdLink MakeBinkdLink(Random& random, int index) {
  BinkdLink link;
  int net = random.Pick(kNets);
  int node = static_cast<int>(random.Between(1, 999));
  int zone = index % 17 == 0 ? 1 : 2;
  link.address = NumberText(zone) + ":" + NumberText(net) + "/" + NumberText(node);
  if (random.Chance(0.2)) link.address += "." + NumberText(random.Between(1, 40));
  if (random.Chance(0.1)) link.aka = "2:5020/" + NumberText(random.Between(1000, 9999));
  link.sysop = std::string(random.Pick(kFirstNames)) + " " + random.Pick(kLastNames);
  link.station = std::string(random.Pick(kStationWords)) + " " + random.Pick(kStationKinds);
  // Control bytes in a remote's text reach the log as \xNN.
  if (index % 61 == 5) link.station += "\\x07";
  if (random.Chance(0.9)) link.location = random.Pick(kCities);
  link.nodeFlags = random.Pick(kNodeFlags);
  if (random.Chance(0.6)) {
    link.version = random.Pick(kBinkdVersions);
  } else {
    link.version = std::string(random.Pick(kProducts)) + "/" + NumberText(random.Between(1, 3)) +
                   "." + NumberText(random.Between(0, 25)) + random.Pick(kOtherPlatforms);
  }
  link.version += random.Chance(0.8) ? " binkp/1.1" : " binkp/1.0";
  double name = random.Unit();
  if (name < 0.5) {
    link.host =
        "f" + NumberText(node) + ".n" + NumberText(net) + ".z" + NumberText(zone) + ".binkp.net";
  } else if (name < 0.8) {
    link.host = "node" + NumberText(index) + ".example.org";
  }
  link.ip = MakeIp(random);
  const int zones[] = {3, 3, 2, 1, 0, -5, 10};
  link.zoneOffset = random.Pick(zones);
  // Most links are small nodes behind slow lines; a few sit on fast ones.
  link.speed = random.Chance(0.1) ? random.Between(50000, 500000) : random.Between(800, 24000);
  link.isProtected = random.Chance(0.7);
  link.bundle = static_cast<uint32_t>(random.Next());
  return link;
}

class BinkdGenerator {
 public:
  BinkdGenerator(const LogGeneratorOptions& options,
                 const std::function<void(std::string_view)>& sink)
      : options_(options), sink_(sink), random_(options.seed) {
    days_ = options.days > 0 ? options.days : DefaultDaysFor(options.bytes);
    firstDay_ = DaysFromCivil(options.endYear, options.endMonth, options.endDay) - days_ + 1;
    int linkCount = 300 + static_cast<int>(random_.Below(100));
    if (options.links > 0) linkCount = std::max(options.links, 12);
    for (int i = 0; i < linkCount; ++i) links_.push_back(MakeBinkdLink(random_, i));
    if (options.links > 0) MakeAddressesDistinct(links_, {});
    nextPid_ = static_cast<uint32_t>(random_.Between(1000, 30000));
    meanGap_ = static_cast<double>(kSecondsPerDay) / std::max(options.sessionsPerDay, 1);
    if (options.bytes != 0) {
      // About 1.8 KB a session; sessions keep overlapping a few at a time.
      double perDay = static_cast<double>(options.bytes) / days_ / 1800.0;
      meanGap_ = kSecondsPerDay / std::max(perDay, 1.0);
      timeScale_ = std::min(1.0, meanGap_ * 3 / 120.0);
    }
    buffer_.reserve(1 << 20);
  }

  uint64_t Run() {
    const int64_t end = int64_t{days_} * kSecondsPerDay;
    PlanRestarts(end);
    now_ = random_.Below(600);
    Restart(now_);
    while (now_ < end && !Full()) {
      while (nextRestart_ < restarts_.size() && restarts_[nextRestart_] <= now_) {
        int64_t at = restarts_[nextRestart_++];
        WriteUntil(at);
        Restart(at);
      }
      WriteUntil(now_);
      Activity();
      now_ += std::max<int64_t>(1, Gap(end));
      if (open_.size() > 4096) ForgetEnded();
    }
    WriteUntil(end);
    Flush();
    return written_;
  }

 private:
  bool Full() const { return options_.bytes != 0 && written_ + buffer_.size() >= options_.bytes; }

  int64_t Gap(int64_t end) {
    double mean = meanGap_;
    if (options_.bytes != 0) {
      // Spreads the bytes still wanted evenly over the time still left.
      double left = static_cast<double>(options_.bytes) - static_cast<double>(written_);
      double perSession = std::max(queued_, uint64_t{200});
      mean = static_cast<double>(end - now_) / std::max(left / perSession, 1.0);
      queued_ = 0;
    }
    return static_cast<int64_t>(mean * (0.2 + 1.6 * random_.Unit()));
  }

  int64_t Step(int64_t low, int64_t high) {
    return static_cast<int64_t>(static_cast<double>(random_.Between(low, high)) * timeScale_ + 0.5);
  }

  // The node restarts binkd every few days and on each upgrade; an upgrade
  // comes early in the morning after each third of the log when no version is
  // fixed.
  void PlanRestarts(int64_t end) {
    for (int64_t at = 0; at < end;) {
      at += random_.Between(2, 9) * kSecondsPerDay + random_.Below(kSecondsPerDay);
      restarts_.push_back(at);
    }
    if (options_.binkdVersion.empty()) {
      restarts_.push_back(Upgrade(1));
      restarts_.push_back(Upgrade(2));
    }
    std::sort(restarts_.begin(), restarts_.end());
  }

  Generation GenerationAt(int64_t time) const {
    const std::string& fixed = options_.binkdVersion;
    if (fixed == "0.9") return Generation::k09;
    if (fixed == "1.0") return Generation::k10;
    if (!fixed.empty()) return Generation::k11;
    if (time < Upgrade(1)) return Generation::k09;
    return time < Upgrade(2) ? Generation::k10 : Generation::k11;
  }

  int64_t Upgrade(int which) const {
    return int64_t{days_} * kSecondsPerDay * which / 3 + 4 * 3600 + 17 * 60;
  }

  // The 0.9 build is a threaded Windows one: its "pids" are thread ids masked
  // to 16 bits, taken again within minutes, and its paths are the drive's.
  bool Threaded() const { return generation_ == Generation::k09; }

  // A new binkd process writes an empty line first. Sessions still running
  // when the old one stopped were killed with it: they never log `done`.
  void Restart(int64_t at) {
    uint64_t before = order_;
    order_ = 0;  // the manager's lines belong to no session
    for (const auto& [pid, session] : open_) {
      if (session.end >= at) killed_[session.order] = at;
    }
    if (at > 0 && random_.Chance(0.2)) Queue(at, managerPid_, '!', "got signal 11, exiting");
    generation_ = GenerationAt(at);
    managerPid_ =
        Threaded() ? static_cast<uint32_t>(random_.Between(1000000000, 2000000000)) : NewPid(at);
    Queue(at, 0, ' ', "");
    const char* const builds[] = {"binkd/0.9.11/Win32", "binkd/1.0.4/Linux",
                                  "binkd/1.1a-115/Linux"};
    Queue(at, managerPid_, '+',
          std::string("BEGIN standalone, ") + builds[static_cast<int>(generation_)] +
              (Threaded() ? " -s C:\\BINKD\\BINKD.CFG" : " -D /etc/binkd/binkd.conf"));
    Queue(at, managerPid_, '+', "servmgr listen on *:24554");
    order_ = before;
  }

  uint32_t NewPid(int64_t at) {
    for (int tries = 0;; ++tries) {
      uint32_t pid;
      if (Threaded()) {
        pid = static_cast<uint32_t>(random_.Between(1, 24)) * 0x0104 + 0x0f00;
      } else {
        nextPid_ += static_cast<uint32_t>(random_.Between(1, 40));
        // 1.1a runs on a system whose pids go up to seven digits.
        uint32_t limit = generation_ == Generation::k11 ? 4194304 : 32768;
        if (nextPid_ >= limit) nextPid_ = 300 + nextPid_ % 100;
        pid = nextPid_;
      }
      auto open = open_.find(pid);
      bool free = open == open_.end() || open->second.end < at;
      // More sessions than the pool has threads: one pid serves two.
      if ((free && pid != managerPid_) || tries > 64) return pid;
    }
  }

  void ForgetEnded() {
    std::erase_if(open_, [&](const auto& entry) { return entry.second.end < now_; });
  }

  // Mail comes in bursts: a hub that tossed echomail calls its downlinks and
  // they call back, so a few sessions often start within seconds of each other.
  void Activity() {
    int64_t count = random_.Chance(0.3) ? random_.Between(2, 5) : 1;
    for (int64_t i = 0; i < count; ++i) {
      double kind = random_.Unit();
      if (kind < 0.45) {
        Outgoing();
      } else {
        Incoming(kind > 0.96);
      }
      now_ += random_.Between(0, 4);
    }
  }

  const BinkdLink& SomeLink() {
    if (options_.links > 0 && unseen_ < links_.size()) return links_[unseen_++];
    return links_[PopularIndex(random_, links_.size())];
  }

  // ---- one session, written line by line at its own clock ----

  void Begin(uint32_t pid) {
    pid_ = pid;
    clock_ = now_;
    order_ = ++sessions_;
    sent_ = received_ = sentBytes_ = receivedBytes_ = 0;
  }

  void Say(char mark, std::string_view text) {
    std::string line(text.substr(0, 1023));  // binkd cuts a message there
    Queue(clock_, pid_, mark, line);
  }

  void Queue(int64_t time, uint32_t pid, char mark, std::string_view text) {
    PendingLine line;
    line.time = time;
    line.order = ++lineOrder_;
    line.session = order_;
    if (pid != 0) {
      char head[40];
      std::snprintf(head, sizeof head, " [%u] ", static_cast<unsigned>(pid));
      line.text.reserve(text.size() + 32);
      line.text += mark;
      line.text += head;  // the date goes in front of the blank when written
      line.text += text;
    }
    queued_ += line.text.size() + 17;
    queue_.push(std::move(line));
  }

  void End() { open_[pid_] = OpenSession{clock_, order_}; }

  void Outgoing() {
    const BinkdLink& link = SomeLink();
    Begin(NewPid(now_));
    std::string address = link.address + "@fidonet";
    Say('+', "call to " + address);
    std::string target = link.host.empty() ? link.ip : link.host;
    if (generation_ != Generation::k09) Say(' ', "trying " + target + " [" + link.ip + "]...");
    clock_ += Step(0, 3);
    if (random_.Chance(0.15)) {
      char text[160];
      std::snprintf(text, sizeof text, random_.Pick(kConnectFailures), link.address.c_str());
      clock_ += Step(0, 20);
      Say('?', text);
      return End();
    }
    Say(' ', "connected");
    std::string where = target;
    switch (generation_) {
      case Generation::k11:
        if (target != link.ip) where = target + ":24554 [" + link.ip + "]";
        if (target == link.ip) where = target + ":24554";
        Say('+', "outgoing session with " + where);
        break;
      case Generation::k10:
        Say('+', "outgoing session with " + target + " [" + link.ip + "] (24554)");
        break;
      case Generation::k09:
        Say('+', "session with " + target + " (" + link.ip + ")");
        break;
    }
    Mailing(link, true);
  }

  void Incoming(bool probe) {
    const BinkdLink& link = SomeLink();
    int64_t port = random_.Between(1024, 65535);
    Begin(managerPid_);
    Say('-', "incoming from " + link.ip + " (" + NumberText(port) + ")");
    Begin(NewPid(now_));
    std::string name = link.host.empty() ? link.ip : link.host;
    switch (generation_) {
      case Generation::k11:
        Say('+', "incoming session with " + name + (name == link.ip ? "" : " [" + link.ip + "]"));
        break;
      case Generation::k10:
        Say('+', "incoming session with " + name + " [" + link.ip + "] (" + NumberText(port) + ")");
        break;
      case Generation::k09:
        Say('+', "session with " + name + " (" + link.ip + ")");
        break;
    }
    if (probe) {  // a scanner, or a node we do not know that is turned away
      clock_ += Step(1, 30);
      if (random_.Chance(0.5))
        Say('+', "addr: " + link.address + "@fidonet (not from allowed remote address)");
      Say('?', "recv: connection closed by foreign host");
      Say('+', "done (?, failed, S/R: 0/0 (0/0 bytes))");
      return End();
    }
    Mailing(link, false);
  }

  // The handshake, the files and the end of a session that got through.
  void Mailing(const BinkdLink& link, bool outgoing) {
    std::string address = link.address + "@fidonet";
    clock_ += Step(0, 2);
    if (!options_.terse) Say('-', outgoing ? "OPT CRAM-MD5-" + Hex(32) : "OPT NR ND EXTCMD GZ BZ2");
    if (random_.Chance(0.5)) Say('+', "Remote supports EXTCMD mode");
    Description(link);
    if (!link.aka.empty()) {
      std::string flag = random_.Chance(0.1) ? " (n/a or busy)" : "";
      Say('+', "addr: " + link.aka + "@fidonet" + flag);
    }
    Say('+', "addr: " + address);
    if (random_.Chance(0.02))
      Say('+', "addr: 2:9999/" + NumberText(random_.Below(99)) + "@fidonet (unresolvable)");
    if (link.isProtected)
      Say('+', random_.Chance(0.9) ? "pwd protected session (MD5)"
                                   : "pwd protected session (plain text)");
    if (!options_.terse && random_.Chance(0.3)) {
      Say('-', "QSIZE " + NumberText(random_.Below(9)) + " files " +
                   NumberText(random_.Below(90000)) + " bytes");
    }
    if (random_.Chance(0.01)) return End();  // the process died: no `done`
    bool fails = random_.Chance(0.06);
    if (fails && random_.Chance(0.3)) {  // busy before anything moved
      Say('?', random_.Pick(kBusyReasons));
      return Done(address, outgoing, false);
    }
    int files = static_cast<int>(random_.Between(options_.filesMin, options_.filesMax));
    int breakAt = fails ? static_cast<int>(random_.Below(files + 1)) : files + 1;
    bool nr = random_.Chance(0.2);  // a `sent:` may come after the next file starts
    std::string late;
    for (int i = 0; i < files; ++i) {
      bool broken = i == breakAt;
      if (random_.Chance(0.5)) {
        Receive(link, address, broken);
      } else {
        std::string line = Send(link, address, broken);
        if (!late.empty()) Say('+', late);
        late.clear();
        if (nr) {
          late = line;
        } else if (!line.empty()) {
          Say('+', line);
        }
      }
      if (broken) break;
    }
    if (!late.empty()) Say('+', late);
    clock_ += Step(0, 3);
    if (fails) Say('?', random_.Pick(kSessionErrors));
    Done(address, outgoing, !fails);
  }

  void Description(const BinkdLink& link) {
    Say('-', "SYS " + link.station + Padding());
    Say('-', "ZYZ " + link.sysop);
    if (options_.terse) return Say('-', "VER " + link.version);
    if (!link.location.empty()) Say('-', "LOC " + link.location + Padding());
    Say('-', "NDL " + link.nodeFlags + Padding());
    Say('-', "TIME " + RemoteTime(link.zoneOffset));
    Say('-', "VER " + link.version);
    if (random_.Chance(0.2)) Say('-', "TRF " + NumberText(random_.Below(99999)) + " 0");
  }

  // The remote's clock in its own zone: the only place a year appears.
  std::string RemoteTime(int zoneOffset) {
    const char* const weekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    // Our node's clock runs three hours east of UTC.
    int64_t at = int64_t{firstDay_} * kSecondsPerDay + clock_ + (zoneOffset - 3) * 3600;
    int64_t day = at / kSecondsPerDay;
    int64_t second = at % kSecondsPerDay;
    int month = 1, dayOfMonth = 1, year = 1970;
    CivilFromDays(day, &month, &dayOfMonth, &year);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02d00",
                  weekdays[(day % 7 + 7) % 7], dayOfMonth, kMonthNames[month], year,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                  static_cast<int>(second % 60), zoneOffset < 0 ? '-' : '+', std::abs(zoneOffset));
    return text;
  }

  // Sends one file; returns its `sent:` line (empty when none is due).
  std::string Send(const BinkdLink& link, const std::string& address, bool broken) {
    std::string name = FileName(random_, link.bundle, Today());
    std::string path = OutboundPath(name);
    int64_t size = Size();
    Say('+', "sending " + path + " as " + name + " (" + NumberText(size) + ")");
    double fate = random_.Unit();
    if (fate < 0.03) {
      clock_ += Step(0, 1);
      Say('+', fate < 0.015 ? name + " skipped by remote" : "remote already has " + name);
      return std::string();
    }
    int64_t from = fate < 0.06 ? size / 2 : 0;
    if (from > 0) Say('+', "sending " + name + " from " + NumberText(from));
    int64_t seconds = Transfer(link, size - from);
    if (broken) return std::string();
    ++sent_;
    sentBytes_ += size;
    return "sent: " + path + " (" + NumberText(size) + ", " + Cps(size, seconds) + " CPS, " +
           address + ")";
  }

  void Receive(const BinkdLink& link, const std::string& address, bool broken) {
    std::string name = FileName(random_, link.bundle, Today());
    int64_t size = Size();
    double fate = random_.Unit();
    if (fate < 0.02) {
      Say('+', "already have " + name + " (" + NumberText(1765000000 + random_.Below(9000000)) +
                   ", " + NumberText(size) + " byte(s))");
      return;
    }
    if (fate < 0.04) {
      if (fate < 0.03) return Say('+', "skipping " + name + " (non-destructive)");
      return Say(
          '?', "skipping " + name + " (destructive, " + NumberText(size) + " byte(s), mask *.zip)");
    }
    int64_t offset = 0;
    if (fate < 0.07) {
      offset = size / 3;
      Say('+', "have " + NumberText(offset) + " byte(s) of " + name);
    }
    Say('-', "receiving " + name + " (" + NumberText(size) + " byte(s), off " + NumberText(offset) +
                 ")");
    int64_t seconds = Transfer(link, size - offset);
    if (broken) {
      Say('?',
          "receiving of " + name + " interrupted at " + NumberText(offset + (size - offset) / 2));
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".PKT") == 0) {
        Say('+', name + ": partial .pkt");
      }
      return;
    }
    ++received_;
    receivedBytes_ += size;
    Say('+', "rcvd: " + name + " (" + NumberText(size) + ", " + Cps(size, seconds) + " CPS, " +
                 address + ")");
    Say('+', name + " -> " + InboundPath(link, name));
  }

  void Done(const std::string& address, bool outgoing, bool ok) {
    clock_ += Step(0, 1);
    char text[200];
    std::snprintf(text, sizeof text, "done (%s %s, %s, S/R: %d/%d (%lld/%lld bytes))",
                  outgoing ? "to" : "from", address.c_str(), ok ? "OK" : "failed", sent_, received_,
                  static_cast<long long>(sentBytes_), static_cast<long long>(receivedBytes_));
    Say('+', text);
    End();
  }

  // ---- pieces of a session ----

  int64_t Today() const { return firstDay_ + clock_ / kSecondsPerDay; }

  int64_t Size() { return static_cast<int64_t>(std::exp(6.0 + 8.0 * random_.Unit())); }

  // The seconds a transfer took, added to the session's clock.
  int64_t Transfer(const BinkdLink& link, int64_t bytes) {
    int64_t seconds = Step(bytes / link.speed / 2, 1 + bytes / link.speed);
    clock_ += seconds;
    return seconds;
  }

  // A file's CPS: its whole size over whole seconds, at least one.
  static std::string Cps(int64_t size, int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f",
                  static_cast<double>(size) / static_cast<double>(std::max<int64_t>(seconds, 1)));
    return text;
  }

  std::string OutboundPath(const std::string& name) const {
    if (Threaded()) return "C:\\FIDO\\OUTBOUND\\" + name;
    if (name.find(".TIC") != std::string::npos) return "/var/spool/ftn/ticout/" + name;
    return "/var/spool/ftn/outb/" + name;
  }

  std::string InboundPath(const BinkdLink& link, const std::string& name) const {
    if (Threaded())
      return (link.isProtected ? "C:\\FIDO\\INBOUND\\" : "C:\\FIDO\\INSECURE\\") + name;
    return (link.isProtected ? "/var/spool/ftn/in/" : "/var/spool/ftn/insecure/") + name;
  }

  std::string Hex(int digits) {
    std::string text;
    while (static_cast<int>(text.size()) < digits) {
      char part[20];
      std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random_.Next()));
      text += part;
    }
    text.resize(digits);
    return text;
  }

  std::string Padding() {
    return generator::Padding(random_, options_.padMin, options_.padMax, kNodeFlags);
  }

  // ---- writing ----

  // Writes every queued line before `time`, leaving out the lines of killed
  // sessions after their process died.
  void WriteUntil(int64_t time) {
    while (!queue_.empty() && queue_.top().time < time) {
      const PendingLine& line = queue_.top();
      auto killed = killed_.find(line.session);
      if (killed == killed_.end() || line.time < killed->second) Write(line);
      queue_.pop();
    }
  }

  void Write(const PendingLine& line) {
    if (Full() || line.time >= int64_t{days_} * kSecondsPerDay) return;
    if (line.text.empty()) {
      buffer_ += options_.crlf ? "\r\n" : "\n";
      return;
    }
    int64_t day = firstDay_ + line.time / kSecondsPerDay;
    int64_t second = line.time % kSecondsPerDay;
    buffer_ += line.text[0];
    buffer_ += ' ';
    buffer_ += DateTimeText(day, second);
    buffer_.append(line.text, 1);
    buffer_ += options_.crlf ? "\r\n" : "\n";
    if (buffer_.size() >= (1 << 20) - 2048) Flush();
  }

  void Flush() {
    if (buffer_.empty()) return;
    sink_(buffer_);
    written_ += buffer_.size();
    buffer_.clear();
  }

  struct OpenSession {
    int64_t end = 0;
    uint64_t order = 0;
  };

  const LogGeneratorOptions& options_;
  const std::function<void(std::string_view)>& sink_;
  Random random_;
  int32_t days_ = 1;
  int64_t firstDay_ = 0;
  int64_t now_ = 0;  // seconds since the first day's midnight: the next session's start
  double meanGap_ = 600;
  double timeScale_ = 1.0;
  std::vector<BinkdLink> links_;
  size_t unseen_ = 0;
  std::vector<int64_t> restarts_;
  size_t nextRestart_ = 0;
  Generation generation_ = Generation::k11;
  uint32_t managerPid_ = 0;
  uint32_t nextPid_ = 0;
  std::map<uint32_t, OpenSession> open_;
  std::map<uint64_t, int64_t> killed_;  // session -> when its process was killed
  // The session being made.
  uint32_t pid_ = 0;
  int64_t clock_ = 0;
  uint64_t order_ = 0;
  uint64_t sessions_ = 0;
  int sent_ = 0, received_ = 0;
  int64_t sentBytes_ = 0, receivedBytes_ = 0;
  // The log.
  std::priority_queue<PendingLine, std::vector<PendingLine>, std::greater<>> queue_;
  uint64_t lineOrder_ = 0;
  uint64_t queued_ = 0;  // bytes queued since the last gap: what one activity wrote
  std::string buffer_;
  uint64_t written_ = 0;
};

}  // namespace

uint64_t GenerateBinkdLog(const LogGeneratorOptions& options,
                          const std::function<void(std::string_view)>& sink) {
  return BinkdGenerator(options, sink).Run();
}

}  // namespace zentrak
