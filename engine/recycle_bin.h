#pragma once

#include "platform/file_system.h"
#include "platform/trash_folders.h"
#include "window/window_controls.h"

// Empties every bin folder the trash offers, in its order: every file
// directly in the folder is deleted, except those whose path contains
// "desktop.ini" (case-sensitive) and read-only ones; sub-folders and what
// they hold stay. The deletion options play no part. What the trash keeps
// about a deleted file goes with it. The folder itself is made normal for
// the time and ends with the attributes it had. Shows the wait cursor while
// it works. What stays behind is not reported. The clean plan holds the
// bin's files the same way; this is the bin's part of it alone.
void EmptyRecycleBin(FileSystem& files, TrashFolders& trash, WaitCursor& waitCursor);
