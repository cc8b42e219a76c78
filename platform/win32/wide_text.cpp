#include "platform/win32/wide_text.h"

#include <cstdint>

namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16(std::wstring& out, std::uint32_t code) {
  if (code < 0x10000) {
    out += static_cast<wchar_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
  }
}

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::string NarrowFromWide(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto unit = static_cast<std::uint32_t>(static_cast<std::uint16_t>(wide[i]));
    if (IsHighSurrogate(unit) && i + 1 < wide.size()) {
      const auto next = static_cast<std::uint32_t>(static_cast<std::uint16_t>(wide[i + 1]));
      if (IsLowSurrogate(next)) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, unit);  // a lone surrogate too
  }
  return out;
}

std::wstring WideFromNarrow(std::string_view narrow) {
  std::wstring out;
  out.reserve(narrow.size());
  std::size_t i = 0;
  while (i < narrow.size()) {
    const auto lead = static_cast<unsigned char>(narrow[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    std::uint32_t least = 0;
    if (lead < 0x80) {
      length = 1, code = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      length = 4, code = lead & 0x07, least = 0x10000;
    }
    bool valid = length != 0 && i + length <= narrow.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto byte = static_cast<unsigned char>(narrow[i + k]);
      valid = (byte & 0xC0) == 0x80;
      code = (code << 6) | (byte & 0x3F);
    }
    if (!valid || code < least || code > 0x10FFFF) {
      out += static_cast<wchar_t>(0xFFFD);
      ++i;
      continue;
    }
    AppendUtf16(out, code);
    i += length;
  }
  return out;
}
