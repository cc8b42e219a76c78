#pragma once

#include <string>

#include "engine/file_list.h"
#include "platform/file_system.h"

// The separator that joins a directory and a name in every gathered path.
inline constexpr char kPathSeparator = '/';

// Appends to `list` the path of every file in `directory` whose name matches
// `pattern`, a separator followed by a wildcard such as "/*.tmp"; with
// `recurse` non-zero, then those of every directory below it, depth first:
// a directory's own files come before those of its sub-directories, and
// each sub-directory is finished before the next one. Every path has the
// form directory + "/" + name. Anything that isn't a real directory is a
// file here (symbolic links included, which are never descended into); no
// directory is ever gathered. A directory that can't be read adds nothing.
// The sweep stays on the file system `directory` lies on: a sub-directory
// on another device, or mounted there from elsewhere, is passed over. Any
// depth is swept, with a bounded number of directories open at once.
// Each path is appended with the identity of the directory it was listed in.
// An empty `directory` stands for the root, what remains of "/" once its
// trailing separator is removed.
void SweepDirectory(FileSystem& files, FileList& list, const std::string& directory,
                    const std::string& pattern, int recurse);
