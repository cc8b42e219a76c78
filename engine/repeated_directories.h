#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/clean_plan_data.h"

// Keeps each file once in a plan that is filled folder after folder: a file
// is the same when its directory is the same directory on disk (whatever
// path led there) and its name the same, and it stays where it came first.
// Each folder costs one look-up of its directory; only a directory met
// again costs a look at the names listed there before.
class RepeatedDirectories {
 public:
  // `folder` of `plan`, the last one added, lies in the directory
  // `identity`; the names asked after this are its own. Where an earlier
  // folder lies there too, both are marked `repeated`.
  void Enter(CleanPlan::Data& plan, std::uint32_t folder, const DirectoryIdentity& identity);
  // Whether `name` lies in the folder entered last, and an earlier folder
  // of the plan already holds it there.
  bool Listed(std::string_view name);
  // Whether the folder entered last is a directory met before.
  bool Repeated() const { return earlier_ != kNone; }
  // The folder entered last is dropped from the plan again.
  void Drop();

 private:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  struct Hash {
    std::size_t operator()(const DirectoryIdentity& identity) const {
      return std::hash<std::uint64_t>()(identity.inode * 0x9E3779B97F4A7C15ull ^ identity.device);
    }
  };

  const CleanPlan::Data* plan_ = nullptr;
  // The last folder of each directory, and for a folder whose directory
  // came before, the folder before it there.
  std::unordered_map<DirectoryIdentity, std::uint32_t, Hash> latest_;
  std::unordered_map<std::uint32_t, std::uint32_t> before_;
  std::uint32_t entered_ = kNone;
  std::uint32_t earlier_ = kNone;  // the folder before the entered one in its directory
  DirectoryIdentity identity_;
  // The names the earlier folders of the entered directory hold, made at
  // the first question.
  std::unordered_set<std::string_view> names_;
  bool collected_ = false;
};
