#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "engine/testing/interposing_file_system.h"
#include "platform/file_system.h"

// Lets the engine share its work with a second thread over a file system
// made for one, such as FakeFileSystem: every call, its own and those of
// the directories it opens, is made one at a time under a lock. It tells
// which calls came from a thread other than the one that made it, and can
// make those fail, to show what a failure there does to a run. Its twin for
// a second deleting thread (ForAnotherThread) makes its calls through it.
class TwoThreadFileSystem : public FileSystem {
 public:
  explicit TwoThreadFileSystem(FileSystem& files)
      : files_(files), firstThread_(std::this_thread::get_id()) {}

  // Calls made so far on another thread than the first.
  std::size_t CallsOnSecondThread() const {
    std::lock_guard lock(mutex_);
    return callsOnSecondThread_;
  }
  // From now on, every call made on another thread throws.
  void FailOnSecondThread() {
    std::lock_guard lock(mutex_);
    failOnSecondThread_ = true;
  }
  // The first thread's next opening of a sub-directory waits, a few seconds
  // at most, until another thread has made a call: a sweep that shares its
  // sub-directories then surely leaves some to the second thread, however
  // the two are scheduled.
  void LetTheSecondThreadGoFirst() {
    std::lock_guard lock(mutex_);
    secondGoesFirst_ = true;
  }

  // From now on, deletions stay on one thread (ForAnotherThread offers
  // nothing), as on a file system that allows only looks from another.
  void DeleteOnOneThread() {
    std::lock_guard lock(mutex_);
    deleteOnOneThread_ = true;
  }

  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override {
    auto lock = Enter();
    return Wrap(files_.OpenDirectory(path));
  }
  bool LooksFromAnotherThread() const override { return true; }
  // The same files, each call one at a time with this one's.
  std::unique_ptr<FileSystem> ForAnotherThread() override {
    std::lock_guard lock(mutex_);
    if (deleteOnOneThread_) return nullptr;
    return std::make_unique<Twin>(*this);
  }
  int LastError() const override {
    std::lock_guard lock(mutex_);
    return files_.LastError();
  }
  std::size_t DirectoryBudget() const override {
    std::lock_guard lock(mutex_);
    return files_.DirectoryBudget();
  }
  void BeginBatch() override {
    auto lock = Enter();
    files_.BeginBatch();
  }
  void EndBatch() override {
    auto lock = Enter();
    files_.EndBatch();
  }

 private:
  class SharedDirectory : public Directory {
   public:
    SharedDirectory(TwoThreadFileSystem& files, std::unique_ptr<Directory> inner)
        : files_(files), inner_(std::move(inner)) {}
    ~SharedDirectory() override {
      std::lock_guard lock(files_.mutex_);
      inner_.reset();
    }
    SharedDirectory(const SharedDirectory&) = delete;
    SharedDirectory& operator=(const SharedDirectory&) = delete;

    bool Next(DirectoryEntry& entry) override {
      auto lock = files_.Enter();
      return inner_->Next(entry);
    }
    std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
      auto lock = files_.Enter();
      files_.MaybeWaitForTheSecondThread(lock);
      return files_.Wrap(inner_->OpenSubdirectory(name));
    }
    std::unique_ptr<Directory> OpenParent() override {
      auto lock = files_.Enter();
      return files_.Wrap(inner_->OpenParent());
    }
    std::optional<DirectoryIdentity> Identity() override {
      auto lock = files_.Enter();
      return inner_->Identity();
    }
    std::optional<std::uint64_t> Mount() override {
      auto lock = files_.Enter();
      return inner_->Mount();
    }
    void FinishListing() override {
      auto lock = files_.Enter();
      inner_->FinishListing();
    }
    Directory& Inner() { return *inner_; }

   private:
    TwoThreadFileSystem& files_;
    std::unique_ptr<Directory> inner_;
  };

  // Hands every call to the file system it was made for, which tells it
  // from the first thread's by the thread it comes from. Its batches are
  // its own: the first thread's directories stay open until that thread
  // ends its batch.
  class Twin : public InterposingFileSystem {
   public:
    explicit Twin(TwoThreadFileSystem& files) : InterposingFileSystem(files, nullptr) {}
    void BeginBatch() override {}
    void EndBatch() override {}
  };

  std::unique_lock<std::mutex> Enter() {
    std::unique_lock lock(mutex_);
    if (std::this_thread::get_id() != firstThread_) {
      ++callsOnSecondThread_;
      calledFromSecondThread_.notify_all();
      if (failOnSecondThread_) throw std::runtime_error("failure on the second thread");
    }
    return lock;
  }

  void MaybeWaitForTheSecondThread(std::unique_lock<std::mutex>& lock) {
    if (!secondGoesFirst_ || std::this_thread::get_id() != firstThread_) return;
    secondGoesFirst_ = false;
    calledFromSecondThread_.wait_for(lock, std::chrono::seconds(5),
                                     [this] { return callsOnSecondThread_ > 0; });
  }

  std::unique_ptr<Directory> Wrap(std::unique_ptr<Directory> directory) {
    if (!directory) return nullptr;
    return std::make_unique<SharedDirectory>(*this, std::move(directory));
  }
  static Directory& Inner(Directory& directory) {
    return static_cast<SharedDirectory&>(directory).Inner();
  }

  FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) override {
    auto lock = Enter();
    return files_.GetAttributes(path, listedIn);
  }
  bool DoSetNormal(const std::string& path, FileAttributes current,
                   const ListedIn& listedIn) override {
    auto lock = Enter();
    return files_.SetNormal(path, current, listedIn);
  }
  bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                           const ListedIn& listedIn) override {
    auto lock = Enter();
    return files_.RestoreAttributes(path, saved, listedIn);
  }
  bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) override {
    auto lock = Enter();
    return files_.RemoveFile(path, listedIn);
  }
  FileStatus DoStatus(const std::string& path, const ListedIn& listedIn) override {
    auto lock = Enter();
    return files_.Status(path, listedIn);
  }
  FileStatus DoStatusIn(Directory& directory, const char* name) override {
    auto lock = Enter();
    return files_.StatusIn(Inner(directory), name);
  }
  FileAttributes DoGetAttributesIn(Directory& directory, const char* name) override {
    auto lock = Enter();
    return files_.GetAttributesIn(Inner(directory), name);
  }
  bool DoSetNormalIn(Directory& directory, const char* name, FileAttributes current) override {
    auto lock = Enter();
    return files_.SetNormalIn(Inner(directory), name, current);
  }
  bool DoRestoreAttributesIn(Directory& directory, const char* name,
                             FileAttributes saved) override {
    auto lock = Enter();
    return files_.RestoreAttributesIn(Inner(directory), name, saved);
  }
  bool DoRemoveFileIn(Directory& directory, const char* name) override {
    auto lock = Enter();
    return files_.RemoveFileIn(Inner(directory), name);
  }

  FileSystem& files_;
  const std::thread::id firstThread_;
  mutable std::mutex mutex_;
  std::condition_variable calledFromSecondThread_;
  std::size_t callsOnSecondThread_ = 0;
  bool failOnSecondThread_ = false;
  bool secondGoesFirst_ = false;
  bool deleteOnOneThread_ = false;
};
