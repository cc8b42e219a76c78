#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/file_system.h"

// Passes every call on to another file system, and runs a step of the
// test's own just before a batch begins: the moment between gathering files
// and deleting them, where another user could change the tree.
class InterposingFileSystem : public FileSystem {
 public:
  InterposingFileSystem(FileSystem& files, std::function<void()> beforeBatch)
      : files_(files), beforeBatch_(std::move(beforeBatch)) {}

  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override {
    return files_.OpenDirectory(path);
  }
  void BeginBatch() override {
    if (beforeBatch_) std::exchange(beforeBatch_, nullptr)();
    files_.BeginBatch();
  }
  void EndBatch() override { files_.EndBatch(); }
  int LastError() const override { return files_.LastError(); }
  bool MeansGone(int error) const override { return files_.MeansGone(error); }
  std::string ErrorText(int error) const override { return files_.ErrorText(error); }
  std::size_t DirectoryBudget() const override { return files_.DirectoryBudget(); }
  bool LooksFromAnotherThread() const override { return files_.LooksFromAnotherThread(); }

 private:
  FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) override {
    return files_.GetAttributes(path, listedIn);
  }
  bool DoSetNormal(const std::string& path, FileAttributes current,
                   const ListedIn& listedIn) override {
    return files_.SetNormal(path, current, listedIn);
  }
  bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                           const ListedIn& listedIn) override {
    return files_.RestoreAttributes(path, saved, listedIn);
  }
  bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) override {
    return files_.RemoveFile(path, listedIn);
  }
  FileStatus DoStatus(const std::string& path, const ListedIn& listedIn) override {
    return files_.Status(path, listedIn);
  }
  FileStatus DoStatusIn(Directory& directory, const char* name) override {
    return files_.StatusIn(directory, name);
  }
  FileAttributes DoGetAttributesIn(Directory& directory, const char* name) override {
    return files_.GetAttributesIn(directory, name);
  }
  bool DoSetNormalIn(Directory& directory, const char* name, FileAttributes current) override {
    return files_.SetNormalIn(directory, name, current);
  }
  bool DoRestoreAttributesIn(Directory& directory, const char* name,
                             FileAttributes saved) override {
    return files_.RestoreAttributesIn(directory, name, saved);
  }
  bool DoRemoveFileIn(Directory& directory, const char* name) override {
    return files_.RemoveFileIn(directory, name);
  }

  FileSystem& files_;
  std::function<void()> beforeBatch_;  // run once
};
