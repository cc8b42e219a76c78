#pragma once

#include <filesystem>

#include <QApplication>
#include <QTest>

#include "testing/scoped_test_home.h"

// Runs one Qt Test object inside a private home, so that nothing Qt writes
// (its runtime directory, settings, caches) lands in the real home or /tmp.
template <class TestObject>
int RunQtTestInPrivateHome(int argc, char** argv) {
  ScopedTestHome home;
  const std::filesystem::path runtime = home.Root() / "runtime";
  std::filesystem::create_directory(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  home.SetEnv("XDG_RUNTIME_DIR", runtime.string());
  home.SetEnv("XDG_CACHE_HOME", (home.Root() / "cache").string());

  QApplication app(argc, argv);
  TestObject test;
  return QTest::qExec(&test, argc, argv);
}

#define DUSTRAL_QTEST_MAIN(TestObject) \
  int main(int argc, char** argv) { return RunQtTestInPrivateHome<TestObject>(argc, argv); }
