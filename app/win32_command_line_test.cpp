// The command line on Windows (run under Wine) through the console
// companion dustral.com: the statuses, the preview's output, a clean by a
// profile in the registry, and a plain start, which opens the window
// program dustral.exe. Each test runs a copy of the programs under a name of
// its own, so that its profile is a key of its own
// ("Software\Orlemont Software\<name>").
#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/user_registry.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_user_registry.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

struct Finished {
  DWORD status = 0;
  std::string out;
  std::string err;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of `text`, without their line ends.
std::set<std::string> LinesIn(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.insert(line);
  }
  return lines;
}

fs::path PathFromUtf8(const std::string& text) { return fs::path(WideFromNarrow(text)); }

class Win32CommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    name_ = std::string("dustral-test-") +
            testing::UnitTest::GetInstance()->current_test_info()->name();
    program_ = (home_.Root() / (name_ + ".com")).make_preferred();
    ASSERT_TRUE(fs::copy_file(DUSTRAL_EXECUTABLE, program_));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, ProfileKey().c_str());
  }
  void TearDown() override {
    EndLeftPrograms();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, ProfileKey().c_str());
  }

  // A window program a failed test left open would keep Wine, and with it
  // the test run, waiting: every process of this test's copies is ended.
  void EndLeftPrograms() const {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const std::wstring ours = WideFromNarrow(name_);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
      if (fs::path(entry.szExeFile).stem() != ours) continue;
      if (HANDLE left = ::OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
        ::TerminateProcess(left, 99);
        ::CloseHandle(left);
      }
    }
    ::CloseHandle(snapshot);
  }

  std::wstring ProfileKey() const {
    return L"Software\\Orlemont Software\\" + WideFromNarrow(name_);
  }

  // Runs the program with `arguments` (as typed after its name), its output
  // into files, and waits for its end.
  Finished Run(const std::wstring& arguments) { return Run(program_, arguments, true); }

  // Runs `program`; without `withOutput` it gets no standard handles at
  // all, as a program started by Explorer or the Task Scheduler.
  Finished Run(const fs::path& program, const std::wstring& arguments, bool withOutput) {
    const fs::path outFile = home_.Root() / "out.txt";
    const fs::path errFile = home_.Root() / "err.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE out = ::CreateFileW(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                               CREATE_ALWAYS, 0, nullptr);
    HANDLE err = ::CreateFileW(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                               CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = withOutput ? out : nullptr;
    startup.hStdError = withOutput ? err : nullptr;
    std::wstring command = L"\"" + program.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Finished finished;
    finished.status = 999;
    if (::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &process)) {
      if (::WaitForSingleObject(process.hProcess, 120'000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &finished.status);
      ::CloseHandle(process.hThread);
      ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    finished.out = ReadAll(outFile);
    finished.err = ReadAll(errFile);
    return finished;
  }

  // Every category off, and one entry: the *.tmp files directly in `folder`.
  // `options`: more values of "Default Settings", as numbers.
  void SaveProfileWithTmpEntry(const std::string& folder,
                               const std::vector<std::pair<const char*, uint32_t>>& options = {}) {
    const std::string key = "Software\\Orlemont Software\\" + name_;
    const std::string settings = key + "\\Default Settings";
    const std::string entries = key + "\\Entries";
    std::vector<RegistryWrite> writes;
    for (const char* category : {"Recent Clear", "Temp Clear", "Netscape Clear", "Explorer Clear",
                                 "Explorer History Clear", "Empty Recycle Bin"})
      writes.push_back({RegistryRoot::kCurrentUser, settings, category, RegistryValue::Dword(0)});
    for (const auto& [option, value] : options)
      writes.push_back({RegistryRoot::kCurrentUser, settings, option, RegistryValue::Dword(value)});
    writes.push_back(
        {RegistryRoot::kCurrentUser, settings, "Number of Items", RegistryValue::Dword(1)});
    writes.push_back(
        {RegistryRoot::kCurrentUser, entries, "00000_FilePath", RegistryValue::String(folder)});
    writes.push_back(
        {RegistryRoot::kCurrentUser, entries, "00000_WildCard", RegistryValue::String("*.tmp")});
    writes.push_back(
        {RegistryRoot::kCurrentUser, entries, "00000_Recurse", RegistryValue::Dword(0)});
    ASSERT_TRUE(Win32UserRegistry().Apply(writes));
  }

  ScopedTestHome home_;
  std::string name_;
  fs::path program_;
};

TEST_F(Win32CommandLineTest, EachOptionEndsWithItsStatus) {
  struct Case {
    const wchar_t* arguments;
    DWORD status;
    const char* inOutput;  // on standard output, or on standard error for a failure
  };
  const Case cases[] = {
      {L"--version", 0, "Dustral"},
      {L"--help", 0, "--preview"},
      {L"--no-such-option", 2, "--help"},
      // Read as UTF-16 and written as UTF-8, not through the local code page.
      {L"--caf\u00e9", 2, "'--caf\xC3\xA9'"},
      {L"--preview --clean", 2, "--help"},
      // A plain start with no window program beside the companion.
      {L"--no-autoclean", 1, "can't start"},
  };
  for (const Case& c : cases) {
    const Finished run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << NarrowFromWide(c.arguments);
    EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.inOutput), std::string::npos)
        << NarrowFromWide(c.arguments) << ": " << run.out << run.err;
  }
}

TEST_F(Win32CommandLineTest, PreviewOnAnEmptyProfilePrintsItsSummary) {
  const Finished run = Run(L"--preview");
  EXPECT_EQ(run.status, 0u) << run.err;
  EXPECT_NE(run.err.find("Would delete: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Would spare: "), std::string::npos) << run.err;
}

TEST_F(Win32CommandLineTest, CleanDeletesTheEntrysFilesAndKeepsTheOthers) {
  const fs::path junk = (home_.Root() / "junk").make_preferred();
  const std::string cafe = "caf\xC3\xA9.tmp";
  for (const fs::path& file :
       {junk / "a.tmp", junk / PathFromUtf8(cafe), junk / "keep.txt", junk / "sub" / "deeper.tmp"})
    WriteTestFile(file);
  SaveProfileWithTmpEntry(NarrowFromWide(junk.wstring()));

  const Finished preview = Run(L"--preview");
  EXPECT_EQ(preview.status, 0u) << preview.err;
  // The names reach a file as UTF-8, whatever the console's code page, each
  // path written with Windows' own separator.
  const std::string folder = NarrowFromWide(junk.wstring());
  EXPECT_EQ(LinesIn(preview.out),
            (std::set<std::string>{folder + "\\a.tmp", folder + "\\" + cafe}));
  EXPECT_TRUE(fs::exists(junk / "a.tmp"));

  const Finished clean = Run(L"--clean");
  EXPECT_EQ(clean.status, 0u) << clean.err;
  EXPECT_FALSE(fs::exists(junk / "a.tmp"));
  EXPECT_FALSE(fs::exists(junk / PathFromUtf8(cafe)));
  EXPECT_TRUE(fs::exists(junk / "keep.txt"));
  EXPECT_TRUE(fs::exists(junk / "sub" / "deeper.tmp"));
}

TEST_F(Win32CommandLineTest, AFolderTypedWithSlashesIsShownWithBackslashes) {
  const fs::path junk = (home_.Root() / "junk").make_preferred();
  WriteTestFile(junk / "a.tmp");
  const std::string folder = NarrowFromWide(junk.wstring());
  const std::string shown = folder + "\\a.tmp";
  std::string typed = folder;
  std::replace(typed.begin(), typed.end(), '\\', '/');
  for (const std::string& entry : {typed, typed + "/", folder + "\\"}) {
    SaveProfileWithTmpEntry(entry);
    const Finished preview = Run(L"--preview");
    EXPECT_EQ(preview.status, 0u) << preview.err;
    EXPECT_EQ(LinesIn(preview.out), std::set<std::string>{shown}) << entry;
  }
}

// The preview written to a console of its own: the names reach it as
// written, in UTF-8 whatever the console's code page was, and the console
// has its code page back afterwards.
TEST_F(Win32CommandLineTest, PreviewOnAConsoleShowsNamesOutsideAscii) {
  const fs::path junk = (home_.Root() / "junk").make_preferred();
  const std::wstring cafe = L"caf\u00e9\u00df\u20ac.tmp";
  WriteTestFile(junk / cafe);
  SaveProfileWithTmpEntry(NarrowFromWide(junk.wstring()));

  ::FreeConsole();
  if (!::AllocConsole()) GTEST_SKIP() << "no console can be made here";
  ASSERT_TRUE(::SetConsoleOutputCP(850));
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE console =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherited, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(console, INVALID_HANDLE_VALUE);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = console;
  std::wstring command = L"\"" + program_.wstring() + L"\" --preview";
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(program_.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &startup, &process));
  DWORD status = 999;
  if (::WaitForSingleObject(process.hProcess, 120'000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);

  CONSOLE_SCREEN_BUFFER_INFO buffer{};
  ASSERT_TRUE(::GetConsoleScreenBufferInfo(console, &buffer));
  std::wstring shown(static_cast<std::size_t>(buffer.dwSize.X) * (buffer.dwCursorPosition.Y + 1),
                     L' ');
  DWORD read = 0;
  ::ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(shown.size()), {0, 0},
                                &read);
  const UINT codePageAfter = ::GetConsoleOutputCP();
  ::CloseHandle(console);
  ::FreeConsole();

  EXPECT_EQ(status, 0u);
  EXPECT_NE(shown.find(junk.wstring() + L"\\" + cafe), std::wstring::npos) << NarrowFromWide(shown);
  EXPECT_EQ(codePageAfter, 850u);
}

TEST_F(Win32CommandLineTest, UnattendedStartCleansAndSavesItsProfileInTheRegistry) {
  const fs::path junk = (home_.Root() / "junk").make_preferred();
  WriteTestFile(junk / "a.tmp");
  WriteTestFile(junk / "keep.txt");
  SaveProfileWithTmpEntry(NarrowFromWide(junk.wstring()),
                          {{"Auto-clean", 1}, {"Quit after cleaning", 1}, {"Save settings", 1}});

  const Finished run = Run(L"");
  EXPECT_EQ(run.status, 0u) << run.err;
  EXPECT_FALSE(fs::exists(junk / "a.tmp"));
  EXPECT_TRUE(fs::exists(junk / "keep.txt"));
  // Its end saved every option, also those that were never stored.
  const Win32UserRegistry registry;
  const std::string settings = "Software\\Orlemont Software\\" + name_ + "\\Default Settings";
  EXPECT_EQ(registry.QueryValue(RegistryRoot::kCurrentUser, settings, "Del Hidden Files"),
            RegistryValue::Dword(0));
  EXPECT_EQ(registry.QueryValue(RegistryRoot::kCurrentUser, settings, "Auto-clean"),
            RegistryValue::Dword(1));
}

// Started by the Task Scheduler, the window program has no standard output;
// a clean's report that nobody could read is no failure of the clean.
TEST_F(Win32CommandLineTest, TheWindowProgramWithoutOutputEndsACleanWithItsStatus) {
  const fs::path windowProgram = program_.parent_path() / (name_ + ".exe");
  ASSERT_TRUE(fs::copy_file(DUSTRAL_WINDOW_EXECUTABLE, windowProgram));
  const fs::path junk = (home_.Root() / "junk").make_preferred();
  WriteTestFile(junk / "a.tmp");
  SaveProfileWithTmpEntry(NarrowFromWide(junk.wstring()));

  const Finished run = Run(windowProgram, L"--clean", false);
  EXPECT_EQ(run.status, 0u);
  EXPECT_FALSE(fs::exists(junk / "a.tmp"));
}

// The file of the process that runs `window`.
fs::path ProgramOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return {};
  std::wstring file(32768, L'\0');
  DWORD length = static_cast<DWORD>(file.size());
  const bool known = ::QueryFullProcessImageNameW(process, 0, file.data(), &length);
  ::CloseHandle(process);
  file.resize(known ? length : 0);
  return file;
}

// The visible top-level window with this caption that `program` runs,
// waited for.
HWND WaitForWindowOf(const fs::path& program, const wchar_t* caption) {
  for (int tries = 0; tries < 600; ++tries) {
    HWND found = nullptr;
    while ((found = ::FindWindowExW(nullptr, found, nullptr, caption)) != nullptr) {
      std::error_code error;
      if (::IsWindowVisible(found) && fs::equivalent(ProgramOf(found), program, error))
        return found;
    }
    ::Sleep(100);
  }
  return nullptr;
}

TEST_F(Win32CommandLineTest, APlainStartOpensTheWindowProgramWhichSavesWhenClosed) {
  const fs::path windowProgram = program_.parent_path() / (name_ + ".exe");
  ASSERT_TRUE(fs::copy_file(DUSTRAL_WINDOW_EXECUTABLE, windowProgram));
  const Finished run = Run(L"--no-autoclean");
  EXPECT_EQ(run.status, 0u) << run.err;

  HWND window = WaitForWindowOf(windowProgram, L"Dustral 95");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  HANDLE process =
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(process, nullptr);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(::WaitForSingleObject(process, 60'000), WAIT_OBJECT_0);
  DWORD status = 999;
  ::GetExitCodeProcess(process, &status);
  ::CloseHandle(process);
  EXPECT_EQ(status, 0u);

  const std::string settings = "Software\\Orlemont Software\\" + name_ + "\\Default Settings";
  EXPECT_EQ(Win32UserRegistry().QueryValue(RegistryRoot::kCurrentUser, settings, "Save settings"),
            RegistryValue::Dword(1));
}

}  // namespace
