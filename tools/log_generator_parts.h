// What the two log generators share: the seeded random stream, the calendar
// arithmetic, the people, places and programs of the links, and the file
// names a node meets.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace zentrak::generator {

/// A splitmix64 stream: a seed gives the same numbers everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  /// 0 .. n-1.
  int64_t Below(int64_t n) { return n <= 0 ? 0 : static_cast<int64_t>(Next() % uint64_t(n)); }
  /// a .. b inclusive.
  int64_t Between(int64_t a, int64_t b) { return a + Below(b - a + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  bool Chance(double p) { return Unit() < p; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }

 private:
  uint64_t state_;
};

/// Days since 1970-01-01 of a civil date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d);
/// The month and day (and the year when asked) of a day count since 1970-01-01.
void CivilFromDays(int64_t z, int* month, int* day, int* year = nullptr);

/// "DD Mon HH:MM:SS" of a day count since 1970-01-01 and a second of that day.
std::string DateTimeText(int64_t day, int64_t second);

inline std::string NumberText(int64_t value) { return std::to_string(value); }
inline std::string TwoDigitText(int64_t value) {
  return (value < 10 ? "0" : "") + NumberText(value);
}

inline constexpr int kNets[] = {5020, 5020, 5030, 5000, 450, 4635, 461};
inline constexpr const char* kStationWords[] = {"Northern", "Quiet", "Blue",   "Old",   "Midnight",
                                                "Harbor",   "Iron",  "Silver", "Green", "Red"};
inline constexpr const char* kStationKinds[] = {"Station", "Point", "BBS",
                                                "Node",    "Gate",  "Outpost"};
inline constexpr const char* kCities[] = {"Moscow",      "St.Petersburg", "Kiev",    "Minsk",
                                          "Novosibirsk", "Riga",          "Tallinn", "Berlin",
                                          "Helsinki",    "Kazan"};
inline constexpr const char* kFirstNames[] = {
    "Ivan",  "Olga",  "Peter", "Anna", "Sergey", "Maria", "John",   "Tom",   "Alex", "Nina",
    "Boris", "Elena", "Mark",  "Vera", "Igor",   "Paul",  "Dmitry", "Irina", "Oleg", "Kate"};
inline constexpr const char* kLastNames[] = {
    "Petrov",  "Smirnov", "Ivanova", "Kuznetsov", "Sokolov", "Popov",  "Lebedev",
    "Novak",   "Berg",    "Miller",  "Kowalski",  "Orlov",   "Volkov", "Fedorov",
    "Morozov", "Hansen",  "Weber",   "Klein",     "Romanov", "Zaitsev"};
inline constexpr const char* kProducts[] = {"Zephyr",     "Harborline", "Tidewater", "Quillmail",
                                            "Argon",      "Lighthouse", "Northgate", "Kestrel",
                                            "The Crane!", "Mr. Fixit",  "Bluefin",   "Old Anchor"};

/// Text that no reader looks for, `low` to `high` bytes of `words` run on:
/// descriptive lines made long. Nothing when `high` is 0.
template <size_t N>
std::string Padding(Random& random, int32_t low, int32_t high, const char* const (&words)[N]) {
  if (high <= 0) return std::string();
  auto length = static_cast<size_t>(random.Between(low, high));
  std::string pad = ",";
  while (pad.size() < length) pad += std::string(random.Pick(words)) + ",";
  pad.resize(length);
  return pad;
}

/// A link's place in a list of `count` by popularity: the first far more often.
inline size_t PopularIndex(Random& random, size_t count) {
  double u = random.Unit();
  return static_cast<size_t>(u * u * static_cast<double>(count));
}

/// Gives each link an address of its own for a given link count: one that is
/// taken already (or in `seen`) becomes 3:NET/NODE from the link's place.
template <typename Link>
void MakeAddressesDistinct(std::vector<Link>& links, std::set<std::string> seen) {
  for (size_t i = 0; i < links.size(); ++i) {
    Link& link = links[i];
    if (!seen.insert(link.address).second) {
      link.address = "3:" + NumberText(100 + static_cast<int64_t>(i) / 1000) + "/" +
                     NumberText(1 + static_cast<int64_t>(i) % 1000);
      seen.insert(link.address);
    }
  }
}

/// A file name as a node meets them: echomail bundles named after the link
/// (`bundle`) and the weekday of `day` (days since 1970-01-01), netmail
/// packets, the week's file echoes, now and then a name a person chose.
std::string FileName(Random& random, uint32_t bundle, int64_t day);

}  // namespace zentrak::generator
