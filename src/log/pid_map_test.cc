// The pid map against a standard map under the same long run of changes:
// pids that crowd one home, wide pids, erasures inside runs and across the
// table's end, growth.
#include "log/pid_map.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace zentrak {
namespace {

TEST(PidMap, AgreesWithAStandardMapThroughInsertsErasuresAndGrowth) {
  std::mt19937_64 random(29);
  PidMap map;
  std::unordered_map<uint64_t, uint32_t> expected;
  for (int step = 0; step < 200000; ++step) {
    // Few distinct pids, so that erasures hit as often as inserts; now and
    // then a thread address or the widest pid.
    uint64_t pid = random() % 3000;
    if (step % 97 == 0) pid = 0x40000000 + (random() % 4096) * 16;
    if (step % 1009 == 0) pid = UINT64_MAX - random() % 3;
    uint32_t value = static_cast<uint32_t>(random() % 1000);
    if (random() % 3 == 0) {
      auto it = expected.find(pid);
      ASSERT_EQ(map.Erase(pid), it == expected.end() ? PidMap::kNone : it->second) << step;
      if (it != expected.end()) expected.erase(it);
    } else {
      map.Set(pid, value);
      expected[pid] = value;
    }
    ASSERT_EQ(map.Size(), expected.size());
    uint64_t probe = random() % 3000;
    auto it = expected.find(probe);
    ASSERT_EQ(map.Find(probe), it == expected.end() ? PidMap::kNone : it->second) << step;
  }
  size_t seen = 0;
  map.ForEach([&](uint64_t pid, uint32_t value) {
    ++seen;
    EXPECT_EQ(expected.at(pid), value);
  });
  EXPECT_EQ(seen, expected.size());
  map.Clear();
  EXPECT_EQ(map.Size(), 0u);
  EXPECT_EQ(map.Find(expected.begin()->first), PidMap::kNone);
}

}  // namespace
}  // namespace zentrak
