#include "engine/deletion.h"

SpareReason SpareReasonOf(FileAttributes attributes, const CleanSettings& settings) {
  if ((attributes & kAttributeHidden) && !settings.m_bDelHiddenFiles) return SpareReason::kHidden;
  if ((attributes & kAttributeReadOnly) && !settings.m_bDelReadOnlyFiles)
    return SpareReason::kReadOnly;
  if ((attributes & kAttributeSystem) && !settings.m_bDelSystemFiles) return SpareReason::kSystem;
  return SpareReason::kNone;
}

SpareReason SpareReasonInBin(FileAttributes attributes) {
  return (attributes & kAttributeReadOnly) ? SpareReason::kReadOnly : SpareReason::kNone;
}

DeletionResult DeleteListedFile(FileSystem& files, const CleanSettings& settings,
                                const std::string& path, const ListedIn& listedIn) {
  const FileAttributes attributes = files.GetAttributes(path, listedIn);
  if (SpareReasonOf(attributes, settings) != SpareReason::kNone) return DeletionResult::kSpared;
  // Also where the attributes couldn't be read: then every bit is set, and
  // there is nothing that could be deleted.
  if (attributes & kAttributeDirectory) return DeletionResult::kNotAFile;
  files.SetNormal(path, attributes, listedIn);
  if (files.RemoveFile(path, listedIn)) return DeletionResult::kDeleted;
  files.RestoreAttributes(path, attributes, listedIn);
  return DeletionResult::kFailed;
}
