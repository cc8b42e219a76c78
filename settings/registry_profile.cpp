#include "settings/registry_profile.h"

RegistryProfile::RegistryProfile(std::filesystem::path file, std::string applicationName,
                                 std::chrono::milliseconds lockWait)
    : file_(std::move(file)),
      applicationName_(std::move(applicationName)),
      lockWait_(lockWait),
      fileBytes_(RegistryFile::ReadBytes(file_)),
      registry_(RegistryFile::Parse(fileBytes_.value_or(""))) {}

std::string RegistryProfile::SectionKey(const std::string& section) const {
  return std::string("Software\\") + kRegistryCompanyKey + "\\" + applicationName_ + "\\" + section;
}

int32_t RegistryProfile::GetProfileInt(const std::string& section, const std::string& entry,
                                       int32_t defaultValue) const {
  const auto value = registry_.QueryValue(RegistryRoot::kCurrentUser, SectionKey(section), entry);
  const auto number = value ? value->AsDword() : std::nullopt;
  return number ? static_cast<int32_t>(*number) : defaultValue;
}

std::size_t RegistryProfile::CountValues(const std::string& section) const {
  return registry_.CountValues(RegistryRoot::kCurrentUser, SectionKey(section));
}

std::string RegistryProfile::GetProfileString(const std::string& section, const std::string& entry,
                                              const std::string& defaultValue) const {
  const auto value = registry_.QueryValue(RegistryRoot::kCurrentUser, SectionKey(section), entry);
  if (!value || value->type != registry_type::kString) return defaultValue;
  return value->data.substr(0, value->data.find('\0'));
}

void RegistryProfile::WriteProfileInt(const std::string& section, const std::string& entry,
                                      int32_t value) {
  Write(section, entry, RegistryValue::Dword(static_cast<uint32_t>(value)));
}

void RegistryProfile::WriteProfileString(const std::string& section, const std::string& entry,
                                         const std::optional<std::string>& text) {
  Write(section, entry, text ? std::optional(RegistryValue::String(*text)) : std::nullopt);
}

void RegistryProfile::Write(const std::string& section, const std::string& entry,
                            std::optional<RegistryValue> value) {
  pending_.push_back(PendingWrite{section, entry});
  Apply(registry_, SectionKey(section), entry, value);
}

void RegistryProfile::Apply(RegistryFile& registry, const std::string& keyPath,
                            const std::string& entry, const std::optional<RegistryValue>& value) {
  if (value)
    registry.SetValue(RegistryRoot::kCurrentUser, keyPath, entry, *value);
  else
    registry.DeleteValue(RegistryRoot::kCurrentUser, keyPath, entry);
}

bool RegistryProfile::Commit() {
  if (pending_.empty()) return true;
  // Held until the new file is in place; a writer that holds it too long
  // is not waited for (see RegistryFileLock).
  const RegistryFileLock lock(file_, lockWait_);
  auto bytes = RegistryFile::ReadBytes(file_);
  if (!bytes) return false;
  if (bytes != fileBytes_) {
    RegistryFile current = RegistryFile::Parse(*bytes);
    for (const auto& write : pending_) {
      const std::string keyPath = SectionKey(write.section);
      Apply(current, keyPath, write.entry,
            registry_.QueryValue(RegistryRoot::kCurrentUser, keyPath, write.entry));
    }
    registry_ = std::move(current);
    fileBytes_ = std::move(bytes);
  }
  std::string content = registry_.Format();
  // The file holds these very bytes already (a run that changed no
  // setting): writing them again would only cost a flush to the disk.
  if (content != fileBytes_ && !RegistryFile::WriteBytes(file_, content)) return false;
  fileBytes_ = std::move(content);
  pending_.clear();
  return true;
}
