#include "winui/help_sections.h"

#include <cstdint>

namespace {

constexpr wchar_t kSectionProperty[] = L"Dustral.HelpSection";

}  // namespace

void MarkHelpSection(HWND window, const char* section) {
  SetPropW(window, kSectionProperty,
           reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(section)));
}

void UnmarkHelpSection(HWND window) { RemovePropW(window, kSectionProperty); }

std::string HelpSectionOf(HWND window) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  const HANDLE section = root ? GetPropW(root, kSectionProperty) : nullptr;
  return section ? reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(section))
                 : "contents";
}
