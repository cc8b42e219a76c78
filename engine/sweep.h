#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/file_list.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

// What a sweep tells of what it finds, in the order of the walk.
class SweepListener {
 public:
  static constexpr std::uint32_t kStart = UINT32_MAX;

  virtual ~SweepListener() = default;
  // A directory is entered; the files told next lie in it, up to the next
  // call. `parent` is what this answered for the directory it lies in, or
  // kStart for the starting directory. `path` is the directory's whole
  // path, `name` its last name (the whole path given for the start).
  // `directory` is open and being listed.
  virtual std::uint32_t OnDirectory(std::uint32_t parent, std::string_view path,
                                    std::string_view name, const DirectoryIdentity& identity,
                                    const std::shared_ptr<Directory>& directory) = 0;
  // A matching file of the directory entered last, with the inode its
  // listing gave (0 where it gave none).
  virtual void OnFile(std::string_view name, std::uint64_t inode) = 0;
  // The listing of the directory entered last is over.
  virtual void OnListed() {}

  // Whether this listener can share its sweep with a second thread: Fork
  // is called only where it says so.
  virtual bool CanFork() const { return false; }
  // A listener of the same kind, to be told on another thread what a part
  // of the sweep finds, for Adopt to take in afterwards. Called on that
  // other thread while this listener is being told what the sweep finds: it
  // may only read what the calls above don't change.
  virtual std::unique_ptr<SweepListener> Fork() { return nullptr; }
  // Takes in what `fork` was told, as if it were told here now. The
  // directories it was told of with kStart as their parent lie in `parent`.
  virtual void Adopt(SweepListener& /*fork*/, std::uint32_t /*parent*/) {}
};

// Tells `listener` of every file in `directory` whose name matches
// `pattern`, a separator followed by a wildcard such as "/*.tmp"; with
// `recurse` non-zero, then of those of every directory below it, depth
// first: a directory's own files come before those of its sub-directories,
// and each sub-directory is finished before the next one. Anything that
// isn't a real directory is a file here (symbolic links included, which are
// never descended into); no directory is ever gathered. A directory that
// can't be read adds nothing. The sweep stays on the file system
// `directory` lies on: a sub-directory on another device, or mounted there
// from elsewhere, is passed over. Any depth is swept, with a bounded number
// of directories open at once (besides those the listener keeps). A root
// without its trailing separator stands for the root: an empty `directory`
// what remains of "/", on Windows "C:" what remains of "C:\".
//
// Where the file system and the listener allow it, the sub-directories of
// the first directory that has more than one are shared with a second
// thread, which sweeps them from the last one backwards onto forks of the
// listener; the listener adopts those in order once the first thread has
// swept its share, so that it is told everything in the same order. What
// the second thread throws is thrown here once the first has swept its
// share, as if the first had met it.
void Sweep(FileSystem& files, SweepListener& listener, const std::string& directory,
           const std::string& pattern, int recurse);

// The same sweep appending to `list` the path of every file found, of the
// form directory + kPathSeparator + name, with the identity of the directory it was
// listed in.
void SweepDirectory(FileSystem& files, FileList& list, const std::string& directory,
                    const std::string& pattern, int recurse);
