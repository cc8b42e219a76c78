#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/environment.h"
#include "platform/program_launcher.h"
#include "platform/trash_folders.h"

// An environment with no variable set.
class NoEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string&) const override { return std::nullopt; }
};

// Records the programs it was asked to start.
class FakeProgramLauncher : public ProgramLauncher {
 public:
  bool Open(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  std::vector<std::string> opened;
};

// Offers fixed bin folders and records the files it was told to forget.
class FakeTrashFolders : public TrashFolders {
 public:
  std::vector<std::string> BinFolders() override {
    ++asked;
    return bins;
  }
  std::optional<DirectoryIdentity> VerifyBinFolder(const std::string& binFolder) override {
    const auto it = verified.find(binFolder);
    if (it == verified.end()) return std::nullopt;
    return it->second;
  }
  void ForgetDeletedFile(const std::string& binFolder, const DirectoryIdentity&,
                         std::string_view name) override {
    forgotten.emplace_back(binFolder, std::string(name));
  }
  std::vector<std::string> bins;
  std::map<std::string, DirectoryIdentity> verified;  // the bins it vouches for
  std::vector<std::pair<std::string, std::string>> forgotten;
  int asked = 0;
};
