#pragma once

#include <string>

#include "platform/file_system.h"
#include "settings/clean_settings.h"

// Deletes one gathered file unless it is to be spared: a hidden file unless
// m_bDelHiddenFiles, a read-only one unless m_bDelReadOnlyFiles, a system
// one unless m_bDelSystemFiles. A file whose attributes can't be read counts
// as all three. A directory is never deleted. The file is made normal first;
// when the deletion then fails, it gets its attributes back. Returns 1 when
// the file was deleted, 0 when it was spared or its deletion failed.
// Given `listedIn`, the directory the file was found in, the file counts as
// gone (nothing is changed) once the path leads to another directory.
int DeleteListedFile(FileSystem& files, const CleanSettings& settings, const std::string& path,
                     const ListedIn& listedIn = {});
