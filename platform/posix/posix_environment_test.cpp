#include <gtest/gtest.h>

#include "platform/posix/posix_environment.h"
#include "testing/scoped_test_home.h"

namespace {

TEST(PosixEnvironment, TempFallsBackToTmpdirAndThenToSlashTmp) {
  ScopedTestHome home;
  const PosixEnvironment environment;
  home.SetEnv("TEMP", "/some/temp");
  home.SetEnv("TMPDIR", "/some/tmpdir");
  EXPECT_EQ(environment.Get("TEMP"), "/some/temp");

  home.SetEnv("TEMP", std::nullopt);
  EXPECT_EQ(environment.Get("TEMP"), "/some/tmpdir");

  home.SetEnv("TMPDIR", "");
  EXPECT_EQ(environment.Get("TEMP"), "/tmp");
  home.SetEnv("TMPDIR", std::nullopt);
  EXPECT_EQ(environment.Get("TEMP"), "/tmp");

  home.SetEnv("TEMP", "");
  EXPECT_EQ(environment.Get("TEMP"), "");
}

TEST(PosixEnvironment, OtherVariablesAreReadAsTheyAre) {
  ScopedTestHome home;
  const PosixEnvironment environment;
  home.SetEnv("TMPDIR", "/some/tmpdir");
  home.SetEnv("TMP", std::nullopt);
  EXPECT_EQ(environment.Get("TMP"), std::nullopt);
  home.SetEnv("TMP", " /odd\\dir/ ");
  EXPECT_EQ(environment.Get("TMP"), " /odd\\dir/ ");
}

}  // namespace
