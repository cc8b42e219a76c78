#include "platform/posix/file_user_registry.h"

#include "platform/posix/desktop_registry.h"
#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"

namespace fs = std::filesystem;

FileUserRegistry::FileUserRegistry(fs::path file, std::chrono::milliseconds lockWait)
    : file_(std::move(file)), lockWait_(lockWait) {
  std::string why;
  fileBytes_ = ReadRegistryBytes(file_, &why);
  if (!fileBytes_) unreadable_ = why;
  registry_ = RegistryFile::Parse(fileBytes_.value_or(""));
}

std::optional<RegistryValue> FileUserRegistry::QueryValue(RegistryRoot root,
                                                          std::string_view keyPath,
                                                          std::string_view valueName) const {
  return registry_.QueryValue(root, keyPath, valueName);
}

std::size_t FileUserRegistry::CountValues(RegistryRoot root, std::string_view keyPath) const {
  return registry_.CountValues(root, keyPath);
}

void FileUserRegistry::Write(RegistryFile& registry, const RegistryWrite& write) {
  if (write.value)
    registry.SetValue(write.root, write.keyPath, write.valueName, *write.value);
  else
    registry.DeleteValue(write.root, write.keyPath, write.valueName);
}

bool FileUserRegistry::Apply(const std::vector<RegistryWrite>& writes) {
  if (unreadable_) return false;
  if (writes.empty()) return true;
  // Held until the new file is in place; a writer that holds it too long
  // is not waited for (see RegistryFileLock).
  const RegistryFileLock lock(file_, lockWait_);
  auto bytes = ReadRegistryBytes(file_);
  if (!bytes) return false;
  RegistryFile updated = bytes == fileBytes_ ? registry_ : RegistryFile::Parse(*bytes);
  for (const RegistryWrite& write : writes) Write(updated, write);
  std::string content = updated.Format();
  // The file holds these very bytes already (a run that changed no
  // setting): writing them again would only cost a flush to the disk.
  if (content != *bytes && !WriteRegistryBytes(file_, content)) return false;
  registry_ = std::move(updated);
  fileBytes_ = std::move(content);
  return true;
}

std::unique_ptr<UserRegistry> OpenUserRegistry() {
  return std::make_unique<FileUserRegistry>(UserRegistryFilePath());
}

std::unique_ptr<RegistryStrings> OtherProgramsRegistry(const RegistryStrings& registry) {
  return std::make_unique<DesktopRegistry>(registry);
}
