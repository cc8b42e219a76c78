#include "platform/platform_services.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_launcher.h"
#include "platform/win32/win32_trash_folders.h"

PlatformServices SystemPlatformServices() {
  static Win32FileSystem files;
  static Win32TrashFolders trash;
  static Win32ProgramLauncher launcher;
  return {files, trash, launcher};
}
