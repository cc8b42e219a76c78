#pragma once

#include <windows.h>

#include "engine/clean_plan.h"
#include "platform/file_system.h"
#include "platform/program_launcher.h"
#include "settings/clean_settings.h"
#include "window/window_controls.h"
#include "winui/win32_ui_services.h"

// Shows `plan`, gathered with its guard under `settings`, in a window modal
// to `owner`: the files a clean would delete, grouped by the category or
// entry they came from, with their sizes, the reason for each file the
// options would keep, and the totals. Its Clean deletes exactly the files
// it shows (a file that changed or appeared since is left alone) under the
// wait cursor, then says what became of them; Close deletes nothing. A
// plan is carried out once. Sorting by a column and the filter change only
// what is listed. A row's menu opens the file's folder through `launcher`
// or copies its path.
void RunPreviewWindow(HWND owner, CleanPlan plan, const CleanSettings& settings, FileSystem& files,
                      ProgramLauncher& launcher, WaitCursor& waitCursor, Win32UiServices& ui);

// The commands of a row's menu, also sent by the window's tests.
inline constexpr int kOpenContainingFolderCommand = 40001;
inline constexpr int kCopyPathCommand = 40002;
