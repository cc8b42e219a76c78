#include "platform/platform_services.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_program_launcher.h"
#include "platform/posix/posix_trash_folders.h"

PlatformServices SystemPlatformServices() {
  static PosixFileSystem files;
  static PosixTrashFolders trash;
  static PosixProgramLauncher launcher;
  return {files, trash, launcher};
}
