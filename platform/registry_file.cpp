#include "platform/registry_file.h"

#include <algorithm>

#include "platform/registry_encoding.h"
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

// Names match without regard to ASCII case, so the indexes hold them folded.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
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

// The same for UTF-16 LE code units: a line ends at the unit 000A.
std::vector<std::string_view> SplitUtf16Lines(std::string_view units) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    if (units[i] == '\n' && units[i + 1] == '\0') {
      lines.push_back(units.substr(start, i - start));
      start = i + 2;
    }
  }
  if (start < units.size()) lines.push_back(units.substr(start));
  return lines;
}

}  // namespace

RegistryFile RegistryFile::Parse(std::string_view bytes) {
  RegistryFile file;
  // The lines as stored (in the file's encoding) and as read (in UTF-8).
  std::vector<std::string_view> raw;
  std::vector<std::string> decoded;
  std::vector<std::string_view> lines;
  if (registry_encoding::StartsWithUtf16LeMark(bytes)) {
    file.encoding_ = Encoding::kUtf16Le;
    bytes.remove_prefix(registry_encoding::kUtf16LeMark.size());
    if (bytes.size() % 2 != 0) {
      file.oddByte_ = bytes.substr(bytes.size() - 1);
      bytes.remove_suffix(1);
    }
    raw = SplitUtf16Lines(bytes);
    decoded.reserve(raw.size());
    for (const auto line : raw) decoded.push_back(registry_encoding::FromUtf16Le(line));
    lines.assign(decoded.begin(), decoded.end());
  } else {
    raw = SplitLines(bytes);
    lines = raw;
  }
  const std::string lineEnd = file.Encoded("\n");
  if (!lines.empty() && !lines.front().empty() && lines.front().back() == '\r')
    file.newline_ = "\r\n";

  std::optional<Key> key;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view content = WithoutCarriageReturn(lines[i]);
    if (const auto path = registry_text::KeyLinePath(content)) {
      if (key) file.AddParsedKey(std::move(*key));
      key = Key{std::string(*path), std::string(raw[i]), {}, {}, {}, false};
      continue;
    }
    if (!key) {
      file.head_.push_back(VerbatimLine{std::string(raw[i])});
      continue;
    }

    std::string logical(content);
    std::size_t last = i;
    while (registry_text::ContinuesOnNextLine(logical) && last + 1 < lines.size()) {
      const std::string_view next = WithoutCarriageReturn(lines[last + 1]);
      if (registry_text::KeyLinePath(next)) break;
      registry_text::AppendContinuation(logical, next);
      ++last;
    }
    if (auto parsed = registry_text::ParseValueLine(logical)) {
      StoredValue value{std::move(parsed->name), std::move(parsed->value), {}, false};
      for (std::size_t j = i; j <= last; ++j) {
        if (j > i) value.lines += lineEnd;
        value.lines += raw[j];
      }
      key->items.emplace_back(std::move(value));
      i = last;
    } else {
      key->items.emplace_back(VerbatimLine{std::string(raw[i])});
    }
  }
  if (key) file.AddParsedKey(std::move(*key));
  return file;
}

void RegistryFile::AddParsedKey(Key key) {
  // What follows the key's last value stays behind the values added later.
  auto lastValue = std::find_if(key.items.rbegin(), key.items.rend(), [](const Item& item) {
    return std::holds_alternative<StoredValue>(item);
  });
  for (auto it = lastValue.base(); it != key.items.end(); ++it)
    key.tail.push_back(std::get<VerbatimLine>(std::move(*it)));
  key.items.erase(lastValue.base(), key.items.end());
  for (std::size_t item = 0; item < key.items.size(); ++item) Index(key, item);

  keysByPath_[Folded(key.path)].push_back(keys_.size());
  keys_.push_back(std::move(key));
}

void RegistryFile::Index(Key& key, std::size_t item) {
  const auto* stored = std::get_if<StoredValue>(&key.items[item]);
  if (!stored || stored->removed) return;
  const auto [at, added] = key.lastOfName.insert_or_assign(Folded(stored->name), item);
  if (!added) key.repeatsNames = true;
}

std::string RegistryFile::Encoded(std::string_view line) const {
  return encoding_ == Encoding::kUtf16Le ? registry_encoding::ToUtf16Le(line) : std::string(line);
}

std::string RegistryFile::Decoded(std::string_view line) const {
  return encoding_ == Encoding::kUtf16Le ? registry_encoding::FromUtf16Le(line) : std::string(line);
}

std::string RegistryFile::Format() const {
  std::string out;
  const std::string lineEnd = Encoded("\n");
  const std::string newLineEnd = Encoded(newline_);
  if (encoding_ == Encoding::kUtf16Le) out += registry_encoding::kUtf16LeMark;
  // Lines as read still hold their carriage return, if they had one.
  auto addRead = [&](const std::string& line) { out += line, out += lineEnd; };
  auto addNew = [&](const std::string& line) { out += Encoded(line), out += newLineEnd; };

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
      if (stored.removed) continue;
      if (!stored.lines.empty()) {
        addRead(stored.lines);
      } else {
        for (const auto& line : registry_text::FormatValueLines(stored.name, stored.value))
          addNew(line);
      }
    }
    for (const auto& line : key.tail) addRead(line.text);
  }
  out += oddByte_;
  return out;
}

std::string RegistryFile::FullPath(RegistryRoot root, std::string_view keyPath) {
  std::string path(RegistryRootName(root));
  if (!keyPath.empty()) path.append("\\").append(keyPath);
  return path;
}

RegistryFile::Key* RegistryFile::LastKey(const std::string& fullPath) {
  const auto found = keysByPath_.find(Folded(fullPath));
  if (found == keysByPath_.end()) return nullptr;
  return &keys_[found->second.back()];
}

bool RegistryFile::EndsWithBlankLine() const {
  if (keys_.empty()) return !head_.empty() && IsBlankLine(Decoded(head_.back().text));
  const Key& last = keys_.back();
  return !last.tail.empty() && IsBlankLine(Decoded(last.tail.back().text));
}

RegistryFile::Key& RegistryFile::AddKey(const std::string& fullPath) {
  // Lines kept as read carry their own carriage return, so a new blank line
  // gets one in a file with CRLF line endings.
  const VerbatimLine blank{Encoded(newline_ == "\r\n" ? "\r" : "")};
  if (head_.empty() && keys_.empty()) {
    head_.push_back(VerbatimLine{Encoded("REGEDIT4") + blank.text});
    head_.push_back(blank);
  } else if (!EndsWithBlankLine()) {
    if (keys_.empty())
      head_.push_back(blank);
    else
      keys_.back().tail.push_back(blank);
  }
  keysByPath_[Folded(fullPath)].push_back(keys_.size());
  keys_.push_back(Key{fullPath, "", {}, {blank}, {}, false});
  return keys_.back();
}

std::optional<RegistryFile::Position> RegistryFile::LastValue(const std::string& fullPath,
                                                              std::string_view valueName) const {
  const auto keys = keysByPath_.find(Folded(fullPath));
  if (keys == keysByPath_.end()) return std::nullopt;
  const std::string name = Folded(valueName);
  for (auto key = keys->second.rbegin(); key != keys->second.rend(); ++key) {
    const auto& lastOfName = keys_[*key].lastOfName;
    if (const auto found = lastOfName.find(name); found != lastOfName.end())
      return Position{*key, found->second};
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
  const auto keys = keysByPath_.find(Folded(FullPath(root, keyPath)));
  if (keys == keysByPath_.end()) return 0;
  std::size_t count = 0;
  for (const std::size_t key : keys->second) {
    for (const Item& item : keys_[key].items) {
      const auto* stored = std::get_if<StoredValue>(&item);
      count += stored && !stored->removed ? 1 : 0;
    }
  }
  return count;
}

bool RegistryFile::SetValue(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                            RegistryValue value) {
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
  key->items.emplace_back(StoredValue{std::string(valueName), std::move(value), {}, false});
  Index(*key, key->items.size() - 1);
  return true;
}

void RegistryFile::DeleteValue(RegistryRoot root, std::string_view keyPath,
                               std::string_view valueName) {
  const auto keys = keysByPath_.find(Folded(FullPath(root, keyPath)));
  if (keys == keysByPath_.end()) return;
  const std::string name = Folded(valueName);
  for (const std::size_t index : keys->second) {
    Key& key = keys_[index];
    const auto found = key.lastOfName.find(name);
    if (found == key.lastOfName.end()) continue;
    std::get<StoredValue>(key.items[found->second]).removed = true;
    key.lastOfName.erase(found);
    if (!key.repeatsNames) continue;
    // Earlier copies of the name in this key go too.
    for (Item& item : key.items) {
      auto* stored = std::get_if<StoredValue>(&item);
      if (stored && EqualsIgnoringCase(stored->name, valueName)) stored->removed = true;
    }
  }
}
