#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

// An in-memory file system for the engine's unit tests. Directories list
// their entries in the order they were added; every call is recorded as
// "Operation path" (opening a sub-directory as "OpenSubdirectory path"), so
// a test can check what was touched and in what order.
// Attribute words behave as on Windows: SetNormal clears everything but the
// directory bit, RestoreAttributes puts the saved word back.
class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem() { nodes["/"] = kAttributeDirectory; }

  // Adds a file, and any missing parent directory.
  void AddFile(const std::string& path, FileAttributes attributes = kAttributeNormal) {
    Add(path, attributes);
  }
  void AddDirectory(const std::string& path, FileAttributes attributes = kAttributeDirectory) {
    Add(path, attributes | kAttributeDirectory);
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

  FileAttributes GetAttributes(const std::string& path) override {
    calls.push_back("GetAttributes " + path);
    const auto it = nodes.find(path);
    return it == nodes.end() ? kInvalidAttributes : it->second;
  }

  bool SetNormal(const std::string& path, FileAttributes current) override {
    calls.push_back("SetNormal " + path);
    const auto it = nodes.find(path);
    if (current == kInvalidAttributes || it == nodes.end()) return false;
    it->second = (it->second & kAttributeDirectory) ? kAttributeDirectory : kAttributeNormal;
    return true;
  }

  bool RestoreAttributes(const std::string& path, FileAttributes saved) override {
    calls.push_back("RestoreAttributes " + path);
    const auto it = nodes.find(path);
    if (saved == kInvalidAttributes || it == nodes.end()) return false;
    it->second = saved;
    return true;
  }

  bool RemoveFile(const std::string& path) override {
    calls.push_back("RemoveFile " + path);
    const auto it = nodes.find(path);
    if (it == nodes.end() || (it->second & kAttributeDirectory) || refuseRemoval.contains(path))
      return false;
    nodes.erase(it);
    return true;
  }

  std::map<std::string, FileAttributes> nodes;         // path to attribute word
  std::map<std::string, std::vector<std::string>> children;  // listing order
  std::set<std::string> unreadable;     // directories that can't be opened
  std::set<std::string> refuseRemoval;  // files whose removal fails
  std::vector<std::string> calls;

 private:
  class FakeDirectory : public Directory {
   public:
    FakeDirectory(FakeFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
    bool Next(DirectoryEntry& entry) override {
      const auto& names = files_.children[path_];
      while (next_ < names.size()) {
        current_ = names[next_++];
        const auto it = files_.nodes.find(Join(path_, current_));
        if (it == files_.nodes.end()) continue;  // removed since it was added
        entry.name = current_;
        entry.isDirectory = (it->second & kAttributeDirectory) != 0;
        return true;
      }
      return false;
    }
    std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
      const std::string path = Join(path_, std::string(name));
      files_.calls.push_back("OpenSubdirectory " + path);
      return files_.Open(path);
    }

   private:
    FakeFileSystem& files_;
    std::string path_;
    std::size_t next_ = 0;
    std::string current_;
  };

  static std::string Join(const std::string& directory, const std::string& name) {
    return directory == "/" ? "/" + name : directory + "/" + name;
  }

  std::unique_ptr<Directory> Open(const std::string& path) {
    const auto it = nodes.find(path);
    if (it == nodes.end() || !(it->second & kAttributeDirectory) || unreadable.contains(path))
      return nullptr;
    return std::make_unique<FakeDirectory>(*this, path);
  }

  void Add(const std::string& path, FileAttributes attributes) {
    const std::size_t slash = path.rfind('/');
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    if (!nodes.contains(parent)) Add(parent, kAttributeDirectory);
    if (!nodes.contains(path)) children[parent].push_back(path.substr(slash + 1));
    nodes[path] = attributes;
  }
};
