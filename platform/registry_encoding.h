#pragma once

#include <string>
#include <string_view>

// The registry editor exports REGEDIT4 files in the local 8-bit encoding and
// "Version 5.00" files in UTF-16 little-endian with a byte-order mark. The
// registry file is handled as UTF-8 text inside the program; these convert
// the lines of a UTF-16 file on the way in and out.
namespace registry_encoding {

inline constexpr std::string_view kUtf16LeMark = "\xff\xfe";

bool StartsWithUtf16LeMark(std::string_view bytes);

// UTF-16 LE code units to UTF-8. A lone surrogate from DC80 to DCFF stands
// for the single byte 80 to FF (this is how ToUtf16Le writes bytes that are
// not UTF-8); any other lone surrogate reads as U+FFFD.
std::string FromUtf16Le(std::string_view units);

// UTF-8 to UTF-16 LE code units. A byte that does not belong to a valid
// UTF-8 sequence (a file name in another encoding, say) becomes the lone
// surrogate DC00 plus the byte, so that FromUtf16Le gives it back unchanged.
std::string ToUtf16Le(std::string_view text);

}  // namespace registry_encoding
