#include "engine/sweep.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/second_thread.h"
#include "platform/wildcard_match.h"

namespace {

// However deep the tree, no more directories than this are held open at
// once (besides the starting one and the one being read). Those above the
// deepest ones are closed, and found again when the walk climbs back to
// them.
constexpr std::size_t kHeldDirectories = 16;

// A directory of the walk, kept until everything below it is swept.
struct Level {
  std::shared_ptr<Directory> directory;  // empty while closed to spare descriptors
  DirectoryIdentity identity;
  std::size_t pathLength = 0;  // its path is the first pathLength bytes of the walk's path
  std::size_t depth = 0;       // levels below the starting directory
  std::vector<std::string> subdirectories;  // in listing order
  std::size_t next = 0;                     // the first not yet swept
  std::uint32_t token = 0;                  // what the listener answered for it
  // Its sub-directories are swept by two threads (see SharedLevel).
  std::unique_ptr<class SharedLevel> shared;
  bool done() const { return !shared && next == subdirectories.size(); }
};

class Walk;

// The sub-directories of one directory, swept by two threads: the walk
// takes them one by one from the front, the second thread takes runs of
// them from the back onto forks of the listener, until the two meet. The
// listener then adopts the forks in order, so that it is told everything
// as if one thread had swept it all.
class SharedLevel {
 public:
  SharedLevel(const Walk& owner, SweepListener& listener, std::shared_ptr<Directory> directory,
              std::string path, std::vector<std::string> names);
  SharedLevel(const SharedLevel&) = delete;
  SharedLevel& operator=(const SharedLevel&) = delete;

  // The next sub-directory for the walk; nullptr once the second thread has
  // the rest, or has failed.
  const std::string* TakeFront() {
    std::lock_guard lock(mutex_);
    return front_ < back_ && !failed_ ? &names_[front_++] : nullptr;
  }

  // Waits for the second thread and tells the listener what it found below
  // the directory the listener knows as `parent`. Throws what the second
  // thread threw.
  void AdoptInto(SweepListener& listener, std::uint32_t parent) {
    thread_.Join();
    // Taken from the back, so the last run taken comes first.
    for (auto run = runs_.rbegin(); run != runs_.rend(); ++run) listener.Adopt(**run, parent);
    runs_.clear();
  }

 private:
  void SweepFromTheBack(const std::stop_token& stop);

  const Walk& owner_;
  SweepListener& listener_;
  const std::shared_ptr<Directory> directory_;
  const std::string path_;
  const std::vector<std::string> names_;
  std::mutex mutex_;
  std::size_t front_ = 0;  // names_[front_, back_) are not taken yet
  std::size_t back_;
  bool failed_ = false;  // the second thread threw: the walk stops taking names
  std::vector<std::unique_ptr<SweepListener>> runs_;  // of the second thread, last first
  // Stopped and joined when the walk is left early, on a failure of its own.
  SecondThread thread_;  // last: it starts once the rest is ready
};

// A depth-first walk kept on the heap rather than on the call stack, so
// that no depth overflows it. Each directory is read once: its matching
// files are gathered as they come, its sub-directories are remembered and
// swept after the listing ends, in listing order, each finished before the
// next. That gives the same order as a file pass followed by a
// sub-directory pass.
class Walk {
 public:
  Walk(SweepListener& listener, std::string path, std::string_view wildcard, bool recurse,
       bool mayShare)
      : listener_(listener),
        path_(std::move(path)),
        wildcard_(wildcard),
        recurse_(recurse),
        mayShare_(mayShare && recurse) {}

  void Run(std::shared_ptr<Directory> start) {
    const std::optional<DirectoryIdentity> identity = start->Identity();
    if (!identity) return;
    // The walk stays on the file system it starts on: a directory on
    // another device, or mounted here from elsewhere, is not part of what
    // was asked.
    device_ = identity->device;
    mount_ = start->Mount();
    Enter(std::move(start), *identity, 0, SweepListener::kStart, path_);
    Finish();
  }

  // Sweeps `directory`, a sub-directory `owner` found and checked, as the
  // start of this walk, on the file system `owner` stays on.
  void RunBelow(const Walk& owner, std::shared_ptr<Directory> directory,
                const DirectoryIdentity& identity, std::string_view name) {
    device_ = owner.device_;
    mount_ = owner.mount_;
    Enter(std::move(directory), identity, 0, SweepListener::kStart, name);
    Finish();
  }

  // Opens the sub-directory `name` of `parent` for the walk, if it is still
  // a directory on the starting file system.
  std::shared_ptr<Directory> OpenBelow(Directory& parent, const std::string& name,
                                       DirectoryIdentity& identity) const {
    std::shared_ptr<Directory> subdirectory = parent.OpenSubdirectory(name);
    if (!subdirectory) return nullptr;
    const std::optional<DirectoryIdentity> found = subdirectory->Identity();
    if (!found || !OnTheStartingFileSystem(*found, *subdirectory)) return nullptr;
    identity = *found;
    return subdirectory;
  }

  std::string_view Wildcard() const { return wildcard_; }

 private:
  void Finish() {
    while (!levels_.empty()) {
      Level& level = levels_.back();
      const std::string* name = NextOf(level);
      if (!name) {
        Leave();
        continue;
      }
      DirectoryIdentity found;
      std::shared_ptr<Directory> subdirectory = OpenBelow(*level.directory, *name, found);
      if (!subdirectory) continue;
      path_.resize(level.pathLength);
      path_.append(1, kPathSeparator).append(*name);
      const std::size_t depth = level.depth + 1;
      const std::uint32_t parent = level.token;
      const std::string_view entered = std::string_view(path_).substr(level.pathLength + 1);
      // A directory with nothing left to sweep needs no keeping: a chain
      // of single sub-directories then holds one level whatever its depth.
      if (level.done()) levels_.pop_back();
      Enter(std::move(subdirectory), found, depth, parent, entered);
    }
  }

  // The level's next sub-directory to sweep; nullptr when none is left to
  // this thread, after the second thread's share is adopted.
  const std::string* NextOf(Level& level) {
    if (!level.shared) return level.done() ? nullptr : &level.subdirectories[level.next++];
    if (const std::string* name = level.shared->TakeFront()) return name;
    level.shared->AdoptInto(listener_, level.token);
    level.shared.reset();
    return nullptr;
  }

  bool OnTheStartingFileSystem(const DirectoryIdentity& identity, Directory& directory) const {
    if (identity.device != device_) return false;
    if (!mount_) return true;
    const std::optional<std::uint64_t> mount = directory.Mount();
    return !mount || *mount == *mount_;
  }

  // Gathers the directory's matching files and keeps it for its
  // sub-directories.
  void Enter(std::shared_ptr<Directory> directory, const DirectoryIdentity& identity,
             std::size_t depth, std::uint32_t parent, std::string_view name) {
    Level level;
    level.identity = identity;
    level.pathLength = path_.size();
    level.depth = depth;
    level.token = listener_.OnDirectory(parent, path_, name, identity, directory);
    DirectoryEntry entry;
    while (directory->Next(entry)) {
      if (entry.isDirectory) {
        if (recurse_) level.subdirectories.emplace_back(entry.name);
      } else if (MatchesWildcard(wildcard_, entry.name)) {
        listener_.OnFile(entry.name, entry.inode);
      }
    }
    listener_.OnListed();
    // Kept even when it has no sub-directory: the walk climbs back from it
    // to the level it returns to, which may have been closed.
    level.directory = std::move(directory);
    // Every directory still to be swept lies below the first one with more
    // than one sub-directory: sharing those shares the whole rest.
    if (mayShare_ && level.subdirectories.size() > 1) {
      mayShare_ = false;
      level.shared = std::make_unique<SharedLevel>(*this, listener_, level.directory, path_,
                                                   std::move(level.subdirectories));
      level.subdirectories.clear();
    }
    levels_.push_back(std::move(level));
    CloseAboveTheDeepest();
  }

  void CloseAboveTheDeepest() {
    std::size_t held = 0;
    for (std::size_t index = levels_.size(); index-- > 1;) {
      if (!levels_[index].directory) break;
      if (++held > kHeldDirectories) {
        levels_[index].directory.reset();
        break;
      }
    }
  }

  // Drops the finished deepest level; the one it returns to is opened
  // again if it was closed. Where that fails, that level is dropped as well
  // (its branch stops) and the walk goes on with the rest.
  void Leave() {
    std::shared_ptr<Directory> finished = std::move(levels_.back().directory);
    std::size_t finishedDepth = levels_.back().depth;
    levels_.pop_back();
    while (!levels_.empty() && !levels_.back().directory) {
      Level& level = levels_.back();
      level.directory = Climb(std::move(finished), finishedDepth - level.depth, level.identity);
      if (!level.directory) level.directory = Descend();
      if (level.directory) return;
      finishedDepth = level.depth;
      levels_.pop_back();
    }
  }

  // `steps` levels up from `from`: the directory `expected`, if it still
  // lies there.
  static std::shared_ptr<Directory> Climb(std::shared_ptr<Directory> from, std::size_t steps,
                                          const DirectoryIdentity& expected) {
    for (; from && steps > 0; --steps) from = from->OpenParent();
    if (!from || from->Identity() != expected) return nullptr;
    return from;
  }

  // Opens the deepest level down from the nearest open one above it, by
  // the names on the walk's path, checking every directory the walk has
  // listed on the way.
  std::shared_ptr<Directory> Descend() {
    const Level& target = levels_.back();
    std::size_t index = levels_.size() - 1;
    while (index > 0 && !levels_[index - 1].directory) --index;
    if (index == 0) return nullptr;
    Directory* current = levels_[index - 1].directory.get();
    std::size_t position = levels_[index - 1].pathLength;
    std::shared_ptr<Directory> opened;
    while (position < target.pathLength) {
      const std::size_t nameStart = position + 1;
      const std::size_t nameEnd =
          std::min(path_.find(kPathSeparator, nameStart), target.pathLength);
      auto next =
          current->OpenSubdirectory(std::string_view(path_).substr(nameStart, nameEnd - nameStart));
      if (!next) return nullptr;
      const std::optional<DirectoryIdentity> identity = next->Identity();
      if (!identity || !OnTheStartingFileSystem(*identity, *next)) return nullptr;
      if (levels_[index].pathLength == nameEnd) {
        if (levels_[index].identity != *identity) return nullptr;
        ++index;
      }
      opened = std::move(next);
      current = opened.get();
      position = nameEnd;
    }
    return opened;
  }

  SweepListener& listener_;
  std::string path_;  // of the directory being read
  std::string_view wildcard_;
  bool recurse_;
  bool mayShare_;  // until a level is shared: one at most
  std::uint64_t device_ = 0;
  std::optional<std::uint64_t> mount_;
  std::vector<Level> levels_;  // the start first; only the deepest ones hold their directory
};

SharedLevel::SharedLevel(const Walk& owner, SweepListener& listener,
                         std::shared_ptr<Directory> directory, std::string path,
                         std::vector<std::string> names)
    : owner_(owner),
      listener_(listener),
      directory_(std::move(directory)),
      path_(std::move(path)),
      names_(std::move(names)),
      back_(names_.size()),
      thread_([this](const std::stop_token& stop) { SweepFromTheBack(stop); }) {}

void SharedLevel::SweepFromTheBack(const std::stop_token& stop) {
  try {
    while (!stop.stop_requested()) {
      std::size_t begin, end;
      {
        std::lock_guard lock(mutex_);
        if (back_ - front_ < 2) return;
        // An eighth of what is left: long runs while the two are far
        // apart, single directories where they meet.
        const std::size_t run = std::max<std::size_t>(1, (back_ - front_) / 8);
        end = back_;
        begin = back_ = end - run;
      }
      std::unique_ptr<SweepListener> fork = listener_.Fork();
      for (std::size_t index = begin; index < end && !stop.stop_requested(); ++index) {
        DirectoryIdentity identity;
        std::shared_ptr<Directory> subdirectory =
            owner_.OpenBelow(*directory_, names_[index], identity);
        if (!subdirectory) continue;
        Walk(*fork, path_ + kPathSeparator + names_[index], owner_.Wildcard(), true, false)
            .RunBelow(owner_, std::move(subdirectory), identity, names_[index]);
      }
      std::lock_guard lock(mutex_);
      runs_.push_back(std::move(fork));
    }
  } catch (...) {
    // The walk stops taking names and meets the failure when it adopts.
    std::lock_guard lock(mutex_);
    failed_ = true;
    throw;
  }
}

// Keeps the whole path of each file, the form the recycle bin and the
// older callers work with.
class ListingInto : public SweepListener {
 public:
  explicit ListingInto(FileList& list) : list_(list) {}
  std::uint32_t OnDirectory(std::uint32_t, std::string_view path, std::string_view,
                            const DirectoryIdentity& identity,
                            const std::shared_ptr<Directory>&) override {
    path_ = path;
    identity_ = identity;
    return 0;
  }
  void OnFile(std::string_view name, std::uint64_t) override {
    std::string file;
    file.reserve(path_.size() + 1 + name.size());
    file.append(path_).append(1, kPathSeparator).append(name);
    // Files are only gathered with the directory they were listed in, so
    // that none can be deleted through a directory swapped in later.
    list_.Append(std::move(file), identity_);
  }

 private:
  FileList& list_;
  std::string path_;
  DirectoryIdentity identity_;
};

}  // namespace

void Sweep(FileSystem& files, SweepListener& listener, const std::string& directory,
           const std::string& pattern, int recurse) {
  std::string_view wildcard = pattern;
  if (!wildcard.empty() && IsPathSeparator(wildcard.front())) wildcard.remove_prefix(1);
  const std::string root = directory + kPathSeparator;
  std::shared_ptr<Directory> opened =
      files.OpenDirectory(RootLength(root) > directory.size() ? root : directory);
  if (!opened) return;
  const bool mayShare = recurse && files.LooksFromAnotherThread() && listener.CanFork();
  Walk(listener, directory, wildcard, recurse != 0, mayShare).Run(std::move(opened));
}

void SweepDirectory(FileSystem& files, FileList& list, const std::string& directory,
                    const std::string& pattern, int recurse) {
  ListingInto listing(list);
  Sweep(files, listing, directory, pattern, recurse);
}
