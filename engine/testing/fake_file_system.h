#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/testing/system_path.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

// An in-memory file system for the engine's unit tests, its paths in the
// system's form (engine/testing/system_path.h). Directories list
// their entries in the order they were added; every call is recorded as
// "Operation path" (opening a sub-directory as "OpenSubdirectory path"), so
// a test can check what was touched and in what order.
// Attribute words behave as on Windows: SetNormal clears everything but the
// directory bit, RestoreAttributes puts the saved word back.
// Every file has an inode, a size and a modification time of its own, which
// the tests can change; every directory has an identity of its own; ReplaceDirectory gives the
// path a new one, as when another directory takes its place. A call given
// the directory a file was listed in finds nothing once the file's parent
// has another identity (the call is still recorded).
class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem() {
    nodes[Root()] = kAttributeDirectory;
    identities[Root()] = NewIdentity();
  }

  // Adds a file, and any missing parent directory.
  void AddFile(const std::string& path, FileAttributes attributes = kAttributeNormal) {
    Add(path, attributes);
  }
  void AddDirectory(const std::string& path, FileAttributes attributes = kAttributeDirectory) {
    Add(path, attributes | kAttributeDirectory);
  }
  // A file system of its own is mounted at `path`.
  void MountAt(const std::string& path) { identities.at(path).device = nextDevice_++; }
  // Another directory now sits at `path`, holding what it held.
  void ReplaceDirectory(const std::string& path) { identities.at(path) = NewIdentity(); }
  DirectoryIdentity IdentityOf(const std::string& path) const { return identities.at(path); }
  // The file at `path` gets new contents: another size and time.
  void Modify(const std::string& path, std::uint64_t size, std::int64_t modified) {
    facts.at(path) = {facts.at(path).inode, size, modified, facts.at(path).born,
                      facts.at(path).device};
  }
  // Another file with the same size and time takes the place of `path`.
  void ReplaceFile(const std::string& path) { facts.at(path).inode = nextInode_++; }
  // Deleted and made anew with the freed inode, its size and its time.
  void Recreate(const std::string& path) { facts.at(path).born = nextInode_++; }
  // `from` is renamed over `to`.
  void RenameOver(const std::string& from, const std::string& to) {
    nodes[to] = nodes.at(from);
    facts[to] = facts.at(from);
    nodes.erase(from);
  }
  bool Exists(const std::string& path) const { return nodes.contains(path); }
  FileAttributes AttributesOf(const std::string& path) const { return nodes.at(path); }

  // Every recorded call whose operation is `operation`, as its path.
  std::vector<std::string> PathsOf(const std::string& operation) const {
    std::vector<std::string> paths;
    for (const std::string& call : calls)
      if (call.starts_with(operation + " ")) paths.push_back(call.substr(operation.size() + 1));
    return paths;
  }

  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override {
    calls.push_back("OpenDirectory " + path);
    return Open(path);
  }
  int LastError() const override { return lastError; }
  bool MeansGone(int error) const override { return error == ENOENT || error == ENOTDIR; }
  std::string ErrorText(int error) const override { return std::strerror(error); }
  std::size_t DirectoryBudget() const override { return directoryBudget; }
  std::shared_ptr<FilesInUse> FindFilesInUse() override { return filesInUse; }

  std::map<std::string, FileAttributes> nodes;               // path to attribute word
  std::map<std::string, std::vector<std::string>> children;  // listing order
  std::set<std::string> unreadable;                          // directories that can't be opened
  std::set<std::string> refuseRemoval;                       // files whose removal fails
  std::map<std::string, DirectoryIdentity> identities;       // of every directory
  std::vector<std::string> calls;
  struct FileFacts {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t born = 0;
    std::uint64_t device = 1;  // that of every directory, unless a test moves the file
  };
  std::map<std::string, FileFacts> facts;  // of every file
  // The calls on a file in an open directory are recorded and answered as
  // those on its path, given the identity the directory had when opened.
  std::size_t directoryBudget = 0;
  // What FindFilesInUse answers; files sit on device 1.
  std::shared_ptr<FilesInUse> filesInUse;
  int lastError = 0;
  int openDirectories = 0;      // listings open now
  int mostOpenDirectories = 0;  // at the busiest moment

 private:
  FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) override {
    calls.push_back("GetAttributes " + path);
    const auto it = Find(path, listedIn);
    if (it != nodes.end()) return it->second;
    lastError = ENOENT;
    return kInvalidAttributes;
  }

  bool DoSetNormal(const std::string& path, FileAttributes current,
                   const ListedIn& listedIn) override {
    calls.push_back("SetNormal " + path);
    const auto it = Find(path, listedIn);
    if (current == kInvalidAttributes || it == nodes.end()) return false;
    it->second = (it->second & kAttributeDirectory) ? kAttributeDirectory : kAttributeNormal;
    return true;
  }

  bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                           const ListedIn& listedIn) override {
    calls.push_back("RestoreAttributes " + path);
    const auto it = Find(path, listedIn);
    if (saved == kInvalidAttributes || it == nodes.end()) return false;
    it->second = saved;
    return true;
  }

  bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) override {
    calls.push_back("RemoveFile " + path);
    const auto it = Find(path, listedIn);
    if (it == nodes.end() || (it->second & kAttributeDirectory) || refuseRemoval.contains(path)) {
      lastError = it == nodes.end() ? ENOENT : EACCES;
      return false;
    }
    nodes.erase(it);
    return true;
  }

  FileStatus DoStatus(const std::string& path, const ListedIn& listedIn) override {
    calls.push_back("Status " + path);
    FileStatus status;
    const auto it = Find(path, listedIn);
    if (it == nodes.end()) {
      status.error = ENOENT;
      return status;
    }
    status.attributes = it->second;
    status.device = 1;
    if (const auto fact = facts.find(path); fact != facts.end()) {
      status.inode = fact->second.inode;
      status.size = fact->second.size;
      status.modified = fact->second.modified;
      status.born = fact->second.born;
      status.device = fact->second.device;
    }
    return status;
  }

  FileStatus DoStatusIn(Directory& directory, const char* name) override {
    auto& opened = dynamic_cast<FakeDirectory&>(directory);
    return DoStatus(Join(opened.Path(), name), opened.Identity());
  }
  FileAttributes DoGetAttributesIn(Directory& directory, const char* name) override {
    auto& opened = dynamic_cast<FakeDirectory&>(directory);
    return DoGetAttributes(Join(opened.Path(), name), opened.Identity());
  }
  bool DoSetNormalIn(Directory& directory, const char* name, FileAttributes current) override {
    auto& opened = dynamic_cast<FakeDirectory&>(directory);
    return DoSetNormal(Join(opened.Path(), name), current, opened.Identity());
  }
  bool DoRestoreAttributesIn(Directory& directory, const char* name,
                             FileAttributes saved) override {
    auto& opened = dynamic_cast<FakeDirectory&>(directory);
    return DoRestoreAttributes(Join(opened.Path(), name), saved, opened.Identity());
  }
  bool DoRemoveFileIn(Directory& directory, const char* name) override {
    auto& opened = dynamic_cast<FakeDirectory&>(directory);
    return DoRemoveFile(Join(opened.Path(), name), opened.Identity());
  }

  std::map<std::string, FileAttributes>::iterator Find(const std::string& path,
                                                       const ListedIn& listedIn) {
    if (listedIn) {
      const auto parent = identities.find(ParentOf(path));
      if (parent == identities.end() || parent->second != *listedIn) return nodes.end();
    }
    return nodes.find(path);
  }

  static std::string ParentOf(const std::string& path) {
    const std::size_t slash = LastPathSeparator(path);
    if (slash == std::string::npos) return "";
    return path.substr(0, std::max(slash, RootLength(path)));
  }

  static std::string Root() { return SystemPath("/"); }

  DirectoryIdentity NewIdentity() { return {1, nextInode_++}; }

  static std::string Join(const std::string& directory, const std::string& name) {
    return directory == Root() ? directory + name : directory + kPathSeparator + name;
  }

  class FakeDirectory : public Directory {
   public:
    FakeDirectory(FakeFileSystem& files, std::string path)
        : files_(files), path_(std::move(path)), identity_(files_.identities.at(path_)) {
      files_.mostOpenDirectories = std::max(files_.mostOpenDirectories, ++files_.openDirectories);
    }
    ~FakeDirectory() override { --files_.openDirectories; }
    FakeDirectory(const FakeDirectory&) = delete;
    FakeDirectory& operator=(const FakeDirectory&) = delete;
    bool Next(DirectoryEntry& entry) override {
      const auto& names = files_.children[path_];
      while (next_ < names.size()) {
        current_ = names[next_++];
        const auto it = files_.nodes.find(Join(path_, current_));
        if (it == files_.nodes.end()) continue;  // removed since it was added
        entry.name = current_;
        entry.isDirectory = (it->second & kAttributeDirectory) != 0;
        const auto fact = files_.facts.find(Join(path_, current_));
        entry.inode = fact == files_.facts.end() ? 0 : fact->second.inode;
        return true;
      }
      return false;
    }
    std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
      const std::string path = Join(path_, std::string(name));
      files_.calls.push_back("OpenSubdirectory " + path);
      return files_.Open(path);
    }
    std::unique_ptr<Directory> OpenParent() override {
      if (path_ == Root()) return files_.Open(path_);
      return files_.Open(ParentOf(path_));
    }
    std::optional<DirectoryIdentity> Identity() override { return identity_; }
    const std::string& Path() const { return path_; }

   private:
    FakeFileSystem& files_;
    std::string path_;
    DirectoryIdentity identity_;  // the one it had when it was opened
    std::size_t next_ = 0;
    std::string current_;
  };

  std::unique_ptr<Directory> Open(const std::string& path) {
    const auto it = nodes.find(path);
    if (it == nodes.end() || !(it->second & kAttributeDirectory) || unreadable.contains(path))
      return nullptr;
    return std::make_unique<FakeDirectory>(*this, path);
  }

  void Add(const std::string& path, FileAttributes attributes) {
    const std::size_t slash = LastPathSeparator(path);
    const std::string parent = ParentOf(path);
    // A path with no root has no parent to add (and no end to the adding).
    if (parent != path && !nodes.contains(parent)) Add(parent, kAttributeDirectory);
    if (!nodes.contains(path)) children[parent].push_back(path.substr(slash + 1));
    nodes[path] = attributes;
    if ((attributes & kAttributeDirectory) && !identities.contains(path))
      identities[path] = NewIdentity();
    if (!(attributes & kAttributeDirectory)) facts[path] = {nextInode_++, 0, 0};
  }

  std::uint64_t nextInode_ = 1;
  std::uint64_t nextDevice_ = 2;
};
