#include "settings/registry_profile.h"

#include "platform/ascii.h"

namespace {

// Key and value names match without regard to ASCII case.
std::string PendingName(const std::string& keyPath, const std::string& entry) {
  std::string name = keyPath + '\n' + entry;
  for (char& c : name) c = FoldAsciiCase(c);
  return name;
}

}  // namespace

RegistryProfile::RegistryProfile(UserRegistry& registry, std::string applicationName)
    : registry_(registry), applicationName_(std::move(applicationName)) {}

std::string RegistryProfile::SectionKey(const std::string& section) const {
  return std::string("Software\\") + kRegistryCompanyKey + "\\" + applicationName_ + "\\" + section;
}

std::optional<RegistryValue> RegistryProfile::Read(const std::string& section,
                                                   const std::string& entry) const {
  const std::string keyPath = SectionKey(section);
  if (const auto found = pendingByName_.find(PendingName(keyPath, entry));
      found != pendingByName_.end())
    return pending_[found->second].value;
  return registry_.QueryValue(RegistryRoot::kCurrentUser, keyPath, entry);
}

int32_t RegistryProfile::GetProfileInt(const std::string& section, const std::string& entry,
                                       int32_t defaultValue) const {
  const auto value = Read(section, entry);
  const auto number = value ? value->AsDword() : std::nullopt;
  return number ? static_cast<int32_t>(*number) : defaultValue;
}

std::size_t RegistryProfile::CountValues(const std::string& section) const {
  // Read at start-up, before anything is written; pending writes are not
  // counted.
  return registry_.CountValues(RegistryRoot::kCurrentUser, SectionKey(section));
}

std::string RegistryProfile::GetProfileString(const std::string& section, const std::string& entry,
                                              const std::string& defaultValue) const {
  const auto value = Read(section, entry);
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
  std::string keyPath = SectionKey(section);
  pendingByName_[PendingName(keyPath, entry)] = pending_.size();
  pending_.push_back(
      RegistryWrite{RegistryRoot::kCurrentUser, std::move(keyPath), entry, std::move(value)});
}

bool RegistryProfile::Commit() {
  if (pending_.empty()) return true;
  if (!registry_.Apply(pending_)) return false;
  pending_.clear();
  pendingByName_.clear();
  return true;
}
