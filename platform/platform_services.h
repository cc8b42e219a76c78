#pragma once

#include "platform/file_system.h"
#include "platform/program_launcher.h"
#include "platform/trash_folders.h"

// The system services the clean run works through, bundled so that a test
// or another backend can hand in its own.
struct PlatformServices {
  FileSystem& files;
  TrashFolders& trash;
  ProgramLauncher& launcher;
};

// The services of the system the program runs on; they live as long as the
// process.
PlatformServices SystemPlatformServices();
