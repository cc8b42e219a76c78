#include "platform/registry_file.h"

#include <algorithm>

#include "platform/registry_text.h"

using registry_text::EqualsIgnoringCase;

namespace {

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

RegistryFile RegistryFile::Parse(std::string_view text) {
  RegistryFile file;
  const auto lines = SplitLines(text);
  if (!lines.empty() && !lines.front().empty() && lines.front().back() == '\r')
    file.newline_ = "\r\n";

  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view raw = lines[i];
    const std::string_view content = WithoutCarriageReturn(raw);
    if (const auto path = registry_text::KeyLinePath(content)) {
      file.keys_.push_back(Key{std::string(*path), std::string(raw), {}});
      continue;
    }
    if (file.keys_.empty()) {
      file.head_.push_back(VerbatimLine{std::string(raw)});
      continue;
    }
    auto& items = file.keys_.back().items;

    std::string logical(content);
    std::size_t last = i;
    while (registry_text::ContinuesOnNextLine(logical) && last + 1 < lines.size()) {
      const std::string_view next = WithoutCarriageReturn(lines[last + 1]);
      if (registry_text::KeyLinePath(next)) break;
      registry_text::AppendContinuation(logical, next);
      ++last;
    }
    if (auto parsed = registry_text::ParseValueLine(logical)) {
      StoredValue value{std::move(parsed->name), std::move(parsed->value), {}};
      for (std::size_t j = i; j <= last; ++j) value.lines.emplace_back(lines[j]);
      items.emplace_back(std::move(value));
      i = last;
    } else {
      items.emplace_back(VerbatimLine{std::string(raw)});
    }
  }
  return file;
}

std::string RegistryFile::Format() const {
  std::string out;
  // Lines as read still hold their carriage return, if they had one.
  auto addRead = [&out](const std::string& line) { out += line, out += '\n'; };
  auto addNew = [&](const std::string& line) { out += line, out += newline_; };

  for (const auto& line : head_) addRead(line.text);
  for (const auto& key : keys_) {
    if (key.line.empty())
      addNew(registry_text::FormatKeyLine(key.path));
    else
      addRead(key.line);
    for (const auto& item : key.items) {
      if (const auto* verbatim = std::get_if<VerbatimLine>(&item)) {
        addRead(verbatim->text);
        continue;
      }
      const auto& stored = std::get<StoredValue>(item);
      if (!stored.lines.empty()) {
        for (const auto& line : stored.lines) addRead(line);
      } else {
        for (const auto& line : registry_text::FormatValueLines(stored.name, stored.value))
          addNew(line);
      }
    }
  }
  return out;
}

std::string RegistryFile::FullPath(RegistryRoot root, std::string_view keyPath) {
  std::string path(RegistryRootName(root));
  if (!keyPath.empty()) path.append("\\").append(keyPath);
  return path;
}

RegistryFile::Key* RegistryFile::LastKey(const std::string& fullPath) {
  for (auto it = keys_.rbegin(); it != keys_.rend(); ++it)
    if (EqualsIgnoringCase(it->path, fullPath)) return &*it;
  return nullptr;
}

bool RegistryFile::EndsWithBlankLine() const {
  if (keys_.empty()) return !head_.empty() && IsBlankLine(head_.back().text);
  const Key& last = keys_.back();
  if (last.items.empty()) return false;  // the file ends with the key line
  const auto* verbatim = std::get_if<VerbatimLine>(&last.items.back());
  return verbatim && IsBlankLine(verbatim->text);
}

RegistryFile::Key& RegistryFile::AddKey(const std::string& fullPath) {
  // Lines kept as read carry their own carriage return, so a new blank line
  // gets one in a file with CRLF line endings.
  const VerbatimLine blank{newline_ == "\r\n" ? "\r" : ""};
  if (head_.empty() && keys_.empty()) {
    head_.push_back(VerbatimLine{"REGEDIT4" + blank.text});
    head_.push_back(blank);
  } else if (!EndsWithBlankLine()) {
    if (keys_.empty())
      head_.push_back(blank);
    else
      keys_.back().items.emplace_back(blank);
  }
  keys_.push_back(Key{fullPath, "", {blank}});
  return keys_.back();
}

std::optional<RegistryFile::Position> RegistryFile::LastValue(const std::string& fullPath,
                                                              std::string_view valueName) const {
  for (std::size_t key = keys_.size(); key-- > 0;) {
    if (!EqualsIgnoringCase(keys_[key].path, fullPath)) continue;
    const auto& items = keys_[key].items;
    for (std::size_t item = items.size(); item-- > 0;) {
      const auto* stored = std::get_if<StoredValue>(&items[item]);
      if (stored && EqualsIgnoringCase(stored->name, valueName)) return Position{key, item};
    }
  }
  return std::nullopt;
}

RegistryFile::StoredValue& RegistryFile::At(Position position) {
  return std::get<StoredValue>(keys_[position.key].items[position.item]);
}

std::optional<RegistryValue> RegistryFile::QueryValue(RegistryRoot root, std::string_view keyPath,
                                                      std::string_view valueName) const {
  const auto position = LastValue(FullPath(root, keyPath), valueName);
  if (!position) return std::nullopt;
  return std::get<StoredValue>(keys_[position->key].items[position->item]).value;
}

std::size_t RegistryFile::CountValues(RegistryRoot root, std::string_view keyPath) const {
  const std::string fullPath = FullPath(root, keyPath);
  std::size_t count = 0;
  for (const Key& key : keys_) {
    if (!EqualsIgnoringCase(key.path, fullPath)) continue;
    for (const Item& item : key.items) count += std::holds_alternative<StoredValue>(item) ? 1 : 0;
  }
  return count;
}

bool RegistryFile::SetValue(RegistryRoot root, std::string_view keyPath,
                            std::string_view valueName, RegistryValue value) {
  if (!registry_text::FitsOnOneLine(keyPath) || !registry_text::FitsOnOneLine(valueName))
    return false;
  const std::string fullPath = FullPath(root, keyPath);
  if (const auto position = LastValue(fullPath, valueName)) {
    StoredValue& stored = At(*position);
    if (stored.value != value) {
      stored.value = std::move(value);
      stored.lines.clear();
    }
    return true;
  }
  Key* key = LastKey(fullPath);
  if (!key) key = &AddKey(fullPath);
  // After the key's last value, so that comments and the blank line that
  // close the key stay behind it.
  auto lastValue = std::find_if(key->items.rbegin(), key->items.rend(), [](const Item& item) {
    return std::holds_alternative<StoredValue>(item);
  });
  key->items.emplace(lastValue.base(), StoredValue{std::string(valueName), std::move(value), {}});
  return true;
}

void RegistryFile::DeleteValue(RegistryRoot root, std::string_view keyPath,
                               std::string_view valueName) {
  const std::string fullPath = FullPath(root, keyPath);
  for (auto& key : keys_) {
    if (!EqualsIgnoringCase(key.path, fullPath)) continue;
    std::erase_if(key.items, [valueName](const Item& item) {
      const auto* stored = std::get_if<StoredValue>(&item);
      return stored && EqualsIgnoringCase(stored->name, valueName);
    });
  }
}
