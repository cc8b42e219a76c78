#include "engine/look_ahead.h"

#include <limits>

LookAhead::LookAhead(const CleanPlan::Data& plan, FileSystem& files, std::size_t window)
    : plan_(plan),
      files_(files),
      window_(window),
      step_(window / 4 + 1),
      looks_(window),
      kept_(window),
      thread_([this](const std::stop_token&) { LookAtEveryFile(); }) {}

LookAhead::~LookAhead() {
  stopping_.store(true);
  freed_.Store(std::numeric_limits<std::size_t>::max() / 2);
}

bool LookAhead::WaitForRoom(std::size_t file) {
  for (;;) {
    const std::size_t freed = freed_.Load();
    if (stopping_.load(std::memory_order_relaxed)) return false;
    if (file < freed + window_) return true;
    freed_.WaitWhile(freed);
  }
}

void LookAhead::LookAtEveryFile() {
  try {
    LookInOrder();
  } catch (...) {
    // Wakes the deleting thread, which then meets the failure.
    failed_.store(true, std::memory_order_release);
    looked_.Store(std::numeric_limits<std::size_t>::max());
    throw;
  }
}

void LookAhead::LookInOrder() {
  for (std::size_t folder = 0; folder < plan_.folders.size(); ++folder) {
    const CleanPlan::Data::Folder& record = plan_.folders[folder];
    const bool kept = record.held && !record.named;
    for (std::size_t file = record.firstFile, end = plan_.EndOf(folder); file < end; ++file) {
      if (!WaitForRoom(file)) return;
      const std::size_t place = file % window_;
      kept_[place] = kept;
      if (kept) looks_[place] = files_.StatusIn(*record.held, plan_.NameOf(folder, file));
      looked_.Store(file + 1);
    }
  }
}

const FileStatus* LookAhead::Take(std::size_t file) {
  for (std::size_t looked; (looked = looked_.Load()) <= file;) looked_.WaitWhile(looked);
  if (failed_.load(std::memory_order_acquire)) thread_.Join();  // throws the look's failure
  const std::size_t place = file % window_;
  return kept_[place] ? &looks_[place] : nullptr;
}

void LookAhead::Done(std::size_t file) {
  if ((file + 1) % step_ != 0) return;
  freed_.Store(file + 1);
}
