#include "engine/deletion.h"

namespace {

bool IsSpared(FileAttributes attributes, const CleanSettings& settings) {
  if ((attributes & kAttributeHidden) && !settings.m_bDelHiddenFiles) return true;
  if ((attributes & kAttributeReadOnly) && !settings.m_bDelReadOnlyFiles) return true;
  if ((attributes & kAttributeSystem) && !settings.m_bDelSystemFiles) return true;
  return false;
}

}  // namespace

int DeleteListedFile(FileSystem& files, const CleanSettings& settings, const std::string& path,
                     const ListedIn& listedIn) {
  const FileAttributes attributes = files.GetAttributes(path, listedIn);
  if (IsSpared(attributes, settings)) return 0;
  // Also where the attributes couldn't be read: then every bit is set, and
  // there is nothing that could be deleted.
  if (attributes & kAttributeDirectory) return 0;
  files.SetNormal(path, attributes, listedIn);
  if (files.RemoveFile(path, listedIn)) return 1;
  files.RestoreAttributes(path, attributes, listedIn);
  return 0;
}
