#include "app/locations.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zentrak {
namespace {

TEST(DefaultConfigPath, BesideTheProgramWinsOverTheSystemOne) {
  testing::TempDir programDir;
  testing::TestPlatform platform(programDir.File("zentrak"));
  platform.systemConfigDir = "/etc/zentrak/";
  EXPECT_EQ(DefaultConfigPath(programDir.Path(), platform), "/etc/zentrak/zentrak.cfg");
  testing::WriteFile(programDir.File("zentrak.cfg"), "");
  EXPECT_EQ(DefaultConfigPath(programDir.Path(), platform), programDir.File("zentrak.cfg"));
}

TEST(DefaultConfigPath, WithoutStandardLocationsAlwaysBesideTheProgram) {
  testing::TempDir programDir;
  testing::TestPlatform platform(programDir.File("zentrak"));
  EXPECT_EQ(DefaultConfigPath(programDir.Path(), platform), programDir.File("zentrak.cfg"));
}

TEST(HistoryBaseDir, FollowsTheConfigurationWhereTheSystemHasStandardLocations) {
  testing::TestPlatform platform;
  platform.systemConfigDir = "/etc/zentrak/";
  EXPECT_EQ(HistoryBaseDir("/usr/bin/", "/etc/zentrak/zentrak.cfg", platform), "/etc/zentrak/");
  EXPECT_EQ(HistoryBaseDir("/usr/bin/", "station/zentrak.cfg", platform), "station/");
  // A configuration named without a folder: the history sits beside it, in
  // the current folder.
  EXPECT_EQ(HistoryBaseDir("/usr/bin/", "zentrak.cfg", platform), "");
  platform.systemConfigDir.reset();
  EXPECT_EQ(HistoryBaseDir("/usr/bin/", "station/zentrak.cfg", platform), "/usr/bin/");
}

}  // namespace
}  // namespace zentrak
