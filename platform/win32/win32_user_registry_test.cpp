#include "platform/win32/win32_user_registry.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_desktop_registry.h"
#include "platform/win32/win32_environment.h"
#include "testing/scoped_test_home.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
constexpr const char* kEntries = "Software\\Orlemont Software\\dustral\\Entries";

// Keys of the test's own below HKEY_CURRENT_USER stand for the two roots;
// the whole tree goes at the end.
class Win32UserRegistryTest : public testing::Test {
 protected:
  Win32UserRegistryTest() {
    std::random_device entropy;
    scratch_ = L"Software\\Dustral tests\\" + std::to_wstring(entropy());
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch_ + L"\\user").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &user_, nullptr);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch_ + L"\\machine").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &machine_, nullptr);
  }
  ~Win32UserRegistryTest() override {
    ::RegCloseKey(user_);
    ::RegCloseKey(machine_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratch_.c_str());
  }
  void SetUp() override { ASSERT_TRUE(user_ && machine_); }

  void SetRaw(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type,
              const std::wstring& text) {
    ::RegSetKeyValueW(root, key, name, type, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  std::wstring scratch_;
  HKEY user_ = nullptr;
  HKEY machine_ = nullptr;
};

TEST_F(Win32UserRegistryTest, WritesComeBackAndEverythingElseStaysAsItWas) {
  SetRaw(user_, L"Software\\Orlemont Software\\dustral\\Entries", L"Foreign", REG_SZ, L"theirs");
  SetRaw(user_, L"Software\\Other Vendor", L"Keep", REG_EXPAND_SZ, L"%TEMP%");
  Win32UserRegistry registry(user_, machine_);
  ASSERT_FALSE(registry.Unreadable());

  const std::vector<RegistryWrite> writes{
      {kUser, kEntries, "Entry1", RegistryValue::String("C:\\Temp\\*.tmp")},
      {kUser, kEntries, "Caf\xC3\xA9", RegistryValue::String("\xE6\x97\xA5\xE6\x9C\xAC")},
      {kUser, "Software\\Orlemont Software\\dustral\\Default Settings", "Save settings",
       RegistryValue::Dword(1)},
      {kUser, kEntries, "Missing", std::nullopt},
      {kUser, "Software\\No Such Key", "Missing", std::nullopt}};
  ASSERT_TRUE(registry.Apply(writes));
  for (const RegistryWrite& write : writes)
    EXPECT_EQ(registry.QueryValue(write.root, write.keyPath, write.valueName), write.value)
        << write.valueName;
  // Names match without regard to case, as in the registry.
  EXPECT_EQ(registry.QueryValue(kUser, "software\\orlemont software\\DUSTRAL\\entries", "entry1"),
            RegistryValue::String("C:\\Temp\\*.tmp"));

  EXPECT_EQ(registry.QueryValue(kUser, kEntries, "Foreign"), RegistryValue::String("theirs"));
  EXPECT_EQ(registry.QueryValue(kUser, "Software\\Other Vendor", "Keep"),
            (RegistryValue{registry_type::kExpandString, std::string("%TEMP%\0", 7)}));

  ASSERT_TRUE(registry.Apply({{kUser, kEntries, "Entry1", std::nullopt}}));
  EXPECT_FALSE(registry.QueryValue(kUser, kEntries, "Entry1"));
  EXPECT_TRUE(registry.QueryValue(kUser, kEntries, "Foreign"));
}

TEST_F(Win32UserRegistryTest, OtherProgramsFoldersComeFromTheKeysAsWritten) {
  SetRaw(user_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Recent",
         REG_SZ, L"C:\\Users\\me\\Recent\\");
  SetRaw(machine_, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths",
         L"Directory", REG_SZ, L"C:\\Cache");
  SetRaw(user_, L"Software\\Netscape\\Netscape Navigator\\Cache", L"Cache Dir", REG_EXPAND_SZ,
         L"%TEMP%");
  Win32UserRegistry registry(user_, machine_);
  const Win32DesktopRegistry others(registry);
  std::string text;
  ASSERT_TRUE(others.ReadRegistryString(
      kUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Recent",
      text));
  EXPECT_EQ(text, "C:\\Users\\me\\Recent\\");
  // A text of another type is not taken, and nothing is answered in its place.
  EXPECT_FALSE(others.ReadRegistryString(kUser, "Software\\Netscape\\Netscape Navigator\\Cache",
                                         "Cache Dir", text));
  // Internet Explorer's cache is named: no browser's cache is answered instead.
  EXPECT_FALSE(others.QueryValue(kMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
                                 "Cache_Directory"));
}

TEST(Win32DesktopRegistry, MissingCachesAreAnsweredFromTheLocalApplicationDataNeverStored) {
  ScopedTestHome home;
  const std::string local = home.Path("local");
  const std::string roaming = home.Path("roaming");
  home.SetEnv("LOCALAPPDATA", local);
  home.SetEnv("APPDATA", roaming);
  WriteTestFile(roaming + "\\Mozilla\\Firefox\\profiles.ini",
                "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\nDefault=1\n");
  WriteTestFile(local + "\\Mozilla\\Firefox\\Profiles\\abc.default\\cache2\\entries\\x");
  WriteTestFile(local + "\\Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data\\x");

  class Empty : public RegistryStrings {
    std::optional<RegistryValue> QueryValue(RegistryRoot, std::string_view,
                                            std::string_view) const override {
      return std::nullopt;
    }
  } empty;
  const Win32DesktopRegistry others(empty);
  EXPECT_EQ(
      others.QueryValue(kUser, "Software\\Netscape\\Netscape Navigator\\Cache", "Cache Dir"),
      RegistryValue::String(local + "\\Mozilla\\Firefox\\Profiles\\abc.default\\cache2\\entries"));
  EXPECT_EQ(
      others.QueryValue(kMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
                        "Cache_Directory"),
      RegistryValue::String(local + "\\Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data"));
  EXPECT_FALSE(others.QueryValue(kMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
                                 "History_Directory"));
}

TEST(Win32Environment, ValuesComeAsUtf8AndUnsetOnesAsNothing) {
  ScopedTestHome home;
  ::SetEnvironmentVariableW(L"DUSTRAL_TEST_VALUE", L"caf\xE9");
  const Win32Environment environment;
  EXPECT_EQ(environment.Get("DUSTRAL_TEST_VALUE"), "caf\xC3\xA9");
  ::SetEnvironmentVariableW(L"DUSTRAL_TEST_VALUE", nullptr);
  EXPECT_FALSE(environment.Get("DUSTRAL_TEST_VALUE"));
}

}  // namespace
