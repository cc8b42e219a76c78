#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "settings/clean_settings.h"

// Why a file would be, or was, left alone by the deletion options; the
// first that applies in the order hidden, read-only, system. Past those, a
// file a running process holds open is left alone too (kInUse), as Windows
// refuses to delete it.
enum class SpareReason : std::uint8_t { kNone, kHidden, kReadOnly, kSystem, kInUse };

// Whether the options keep a file of these attributes, and why: a hidden
// file unless m_bDelHiddenFiles, a read-only one unless m_bDelReadOnlyFiles,
// a system one unless m_bDelSystemFiles.
SpareReason SpareReasonOf(FileAttributes attributes, const CleanSettings& settings);

// What keeps a file in a bin folder of the trash when the bin is emptied:
// only being read-only, which the system's own delete refuses; the options
// play no part there.
SpareReason SpareReasonInBin(FileAttributes attributes);

enum class DeletionResult {
  kDeleted,
  kSpared,    // hidden, read-only or system, and the options keep such files
  kNotAFile,  // a directory, or a path whose attributes can't be read
  kFailed,    // the system refused; the file has its attributes back
};

// Deletes one gathered file unless it is to be spared: a hidden file unless
// m_bDelHiddenFiles, a read-only one unless m_bDelReadOnlyFiles, a system
// one unless m_bDelSystemFiles. A file whose attributes can't be read counts
// as all three. A directory is never deleted. The file is made normal first;
// when the deletion then fails, it gets its attributes back.
// Given `listedIn`, the directory the file was found in, the file counts as
// gone (nothing is changed) once the path leads to another directory.
DeletionResult DeleteListedFile(FileSystem& files, const CleanSettings& settings,
                                const std::string& path, const ListedIn& listedIn = {});
