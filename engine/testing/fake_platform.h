#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/program_launcher.h"
#include "platform/trash_folders.h"

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
  void ForgetDeletedFile(const std::string& binFolder, std::string_view name) override {
    forgotten.emplace_back(binFolder, std::string(name));
  }
  std::vector<std::string> bins;
  std::vector<std::pair<std::string, std::string>> forgotten;
  int asked = 0;
};
