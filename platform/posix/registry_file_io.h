#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_file.h"

// The registry file on a POSIX file system: read whole, and replaced whole.

// A larger file is taken for unreadable: no registry file of this program
// grows near it, and reading it whole could exhaust the memory.
inline constexpr std::uintmax_t kMaxRegistryFileSize = std::uintmax_t{256} << 20;

// The bytes of the file at `path`: empty when nothing is there; nothing
// when it exists but can't be read, is no regular file (a FIFO, a device),
// is larger than kMaxRegistryFileSize or is a symbolic link that leads
// nowhere, so that a save doesn't overwrite it. `whyNot`, when given, then
// says why in words.
std::optional<std::string> ReadRegistryBytes(const std::filesystem::path& path,
                                             std::string* whyNot = nullptr);
// Reads the file at `path`: empty when nothing is there, nothing when
// ReadRegistryBytes refuses it. Never throws on the file's content.
std::optional<RegistryFile> ReadRegistryFile(const std::filesystem::path& path);
// The same, with an unreadable file given as an empty registry.
RegistryFile LoadRegistryFile(const std::filesystem::path& path);

// Writes `content` as a new file beside `path` and renames it over `path`,
// creating the directory when missing, so that the file is always either
// the old one or the new one. A symbolic link at `path` stays: its target
// is replaced, and a link that leads nowhere is never written. False when
// nothing changed on disk; an empty `path` is never written. Takes no lock
// (see RegistryFileLock).
bool WriteRegistryBytes(const std::filesystem::path& path, std::string_view content);
bool SaveRegistryFile(const RegistryFile& registry, const std::filesystem::path& path);
