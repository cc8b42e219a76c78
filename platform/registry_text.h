#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

// The line forms of the REGEDIT4 text format, one value or key at a time.
namespace registry_text {

// Compares two names the way the registry does: ASCII letters without
// regard to case, every other byte exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The key path inside a key line "[...]", or nothing for another line.
std::optional<std::string_view> KeyLinePath(std::string_view line);

// Whether `line` begins a value whose hex data goes on in the next line
// (it ends in a backslash).
bool ContinuesOnNextLine(std::string_view line);

// Appends a continuation line to a value line that ContinuesOnNextLine.
void AppendContinuation(std::string& logicalLine, std::string_view nextLine);

struct NamedValue {
  std::string name;  // empty for the key's default value "@"
  RegistryValue value;
};

// Reads one value line, continuations already appended. Nothing when the
// line is not a well-formed value (an unknown escape in a quoted text is
// taken literally, as the registry editor does).
std::optional<NamedValue> ParseValueLine(std::string_view line);

// The lines, without line endings, that store `value` under `name`. A text
// that the quoted form can't carry (a NUL inside, no final NUL, a line
// break) is written as hex(1) bytes, so that nothing is lost.
std::vector<std::string> FormatValueLines(std::string_view name, const RegistryValue& value);

// "[path]".
std::string FormatKeyLine(std::string_view path);

// Names holding a line break can't be written into a line.
bool FitsOnOneLine(std::string_view name);

}  // namespace registry_text
