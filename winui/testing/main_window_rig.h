#pragma once

// A Win32 main window over settings held in memory, with scripted message
// boxes (dialog_rig.h) and secondary windows that record how they were opened, and an
// in-memory file system: nothing on disk is touched. Test-only.

#include "winui/windows_api.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "platform/environment.h"
#include "platform/user_registry.h"
#include "settings/registry_profile.h"
#include "settings/testing/memory_user_registry.h"
#include "winui/main_window.h"
#include "winui/testing/dialog_rig.h"

inline constexpr char kRigApplicationName[] = "dustral";

// Records which window was opened over which owner; the entry editor
// answers with `editorAnswer` (which may change the entry).
class RecordingSecondaryWindows : public SecondaryWindows {
 public:
  bool EditEntry(HWND owner, CleanEntry& entry, EntryEditMode mode) override {
    opened.push_back({"editor", owner});
    editorModes.push_back(mode);
    return editorAnswer ? editorAnswer(entry) : false;
  }
  void ShowOptions(HWND owner, CleanSettings&) override { opened.push_back({"options", owner}); }
  void ShowPreview(HWND owner, CleanPlan, const CleanSettings&) override {
    opened.push_back({"preview", owner});
  }
  void ShowAbout(HWND owner) override { opened.push_back({"about", owner}); }
  void ShowHelpContents(HWND owner) override { opened.push_back({"help", owner}); }
  void ShowHelpSection(HWND owner, const std::string& section) override {
    opened.push_back({"help at " + section, owner});
  }

  struct Opened {
    std::string what;
    HWND owner;
  };
  std::vector<Opened> opened;
  std::vector<EntryEditMode> editorModes;
  std::function<bool(CleanEntry&)> editorAnswer;
};

class MainWindowRig {
 public:
  MainWindowRig() = default;

  // Makes the window and starts it as the program does, shown, but leaves
  // its messages to the test.
  void Start(bool autoCleanAllowed = true) {
    window = std::make_unique<CCleanerDlg>(MainWindowContext{
        ui, windows, PlatformServices{files, trash, launcher},
        SessionSources{profile, registry, environment, kRigApplicationName}, autoCleanAllowed});
    if (!window->Create()) return;
    window->OnInitDialog();
    if (!window->HasEnded()) ShowWindow(window->Window(), SW_SHOW);
  }

  // Handles what is waiting in the thread's queue, as the loop would.
  void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window && window->TranslateWindowMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  // A key pressed while `target` has the focus, through the window's loop.
  void PressKey(HWND target, WPARAM key) {
    // As Tab moves it: a push button with the focus becomes the default one.
    if (GetFocus() != target)
      SendMessageW(window->Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    if (!window->TranslateWindowMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Pump();
  }

  // What a user's click gives the window: the list's notification.
  void Notify(UINT code) {
    NMITEMACTIVATE note{};
    note.hdr.hwndFrom = window->Control(1006);
    note.hdr.idFrom = 1006;
    note.hdr.code = code;
    note.iItem = -1;
    SendMessageW(window->Window(), WM_NOTIFY, 1006, reinterpret_cast<LPARAM>(&note));
  }

  MemoryUserRegistry registry{kRigApplicationName};
  RegistryProfile profile{registry, kRigApplicationName};
  NoEnvironment environment;
  FakeFileSystem files;
  FakeTrashFolders trash;
  FakeProgramLauncher launcher;
  ScriptedUiServices ui;
  RecordingSecondaryWindows windows;
  std::unique_ptr<CCleanerDlg> window;  // last: it works on everything above
};
