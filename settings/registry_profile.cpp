#include "settings/registry_profile.h"

RegistryProfile::RegistryProfile(std::filesystem::path file, std::string applicationName)
    : file_(std::move(file)),
      applicationName_(std::move(applicationName)),
      registry_(RegistryFile::Load(file_)) {}

std::string RegistryProfile::SectionKey(const std::string& section) const {
  return std::string("Software\\") + kRegistryCompanyKey + "\\" + applicationName_ + "\\" +
         section;
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
  pending_.push_back(PendingWrite{SectionKey(section), entry, std::move(value)});
  Apply(registry_, pending_.back());
}

void RegistryProfile::Apply(RegistryFile& registry, const PendingWrite& write) {
  if (write.value)
    registry.SetValue(RegistryRoot::kCurrentUser, write.keyPath, write.entry, *write.value);
  else
    registry.DeleteValue(RegistryRoot::kCurrentUser, write.keyPath, write.entry);
}

bool RegistryProfile::Commit() {
  if (pending_.empty()) return true;
  auto current = RegistryFile::ReadExisting(file_);
  if (!current) return false;
  for (const auto& write : pending_) Apply(*current, write);
  if (!current->Save(file_)) return false;
  registry_ = std::move(*current);
  pending_.clear();
  return true;
}
