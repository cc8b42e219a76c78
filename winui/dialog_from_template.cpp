#include "winui/dialog_from_template.h"

#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/wide_text.h"

namespace {

// The predefined window classes, by the ordinals a dialog template may name
// them with.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

// Writes the template's WORD-sized fields; DWORD-sized ones go in as two
// words, little end first, as Windows reads them.
class TemplateWriter {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(static_cast<WORD>(value & 0xFFFF));
    Word(static_cast<WORD>(value >> 16));
  }
  void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Ordinal(WORD value) {
    Word(0xFFFF);
    Word(value);
  }
  // Every control starts on a DWORD boundary.
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::size_t Size() const { return words_.size(); }
  void PatchWord(std::size_t at, WORD value) { words_[at] = value; }

  std::vector<std::uint32_t> Take() {
    AlignToDword();
    std::vector<std::uint32_t> built(words_.size() / 2);
    std::memcpy(built.data(), words_.data(), words_.size() * sizeof(WORD));
    return built;
  }

 private:
  std::vector<WORD> words_;
};

struct ControlClass {
  WORD ordinal = 0;               // a predefined class, or
  const wchar_t* name = nullptr;  // a class by name
  DWORD style = 0;
};

std::optional<ControlClass> ClassOf(const DialogControl& control,
                                    std::span<const ProvidedControl> provided) {
  using namespace control_style;
  switch (control.kind) {
    case ControlKind::kPushButton:
      return ControlClass{
          kButtonClass, nullptr,
          static_cast<DWORD>((control.styles & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    case ControlKind::kCheckBox:
      return ControlClass{kButtonClass, nullptr, BS_AUTOCHECKBOX};
    case ControlKind::kRadioButton:
      return ControlClass{kButtonClass, nullptr, BS_AUTORADIOBUTTON};
    case ControlKind::kEdit:
      return ControlClass{kEditClass, nullptr,
                          static_cast<DWORD>(WS_BORDER | ES_AUTOHSCROLL |
                                             ((control.styles & kReadOnly) ? ES_READONLY : 0))};
    case ControlKind::kComboBox:
      return ControlClass{kComboBoxClass, nullptr, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
    case ControlKind::kGroupBox:
      return ControlClass{kButtonClass, nullptr, BS_GROUPBOX};
    case ControlKind::kStatic:
      return ControlClass{
          kStaticClass, nullptr,
          static_cast<DWORD>(SS_LEFT | ((control.styles & kNoPrefix) ? SS_NOPREFIX : 0))};
    case ControlKind::kIcon:
      return ControlClass{kStaticClass, nullptr, SS_ICON};
    case ControlKind::kPlaceholder:
      for (const ProvidedControl& candidate : provided)
        if (candidate.id == control.id)
          return ControlClass{0, candidate.windowClass, candidate.style};
      return std::nullopt;
  }
  return std::nullopt;
}

DWORD FrameStyle(DialogFrame frame) {
  const DWORD common = DS_SETFONT | DS_FIXEDSYS | WS_CAPTION | WS_SYSMENU;
  return frame == DialogFrame::kMainWindow ? common | WS_OVERLAPPED | WS_MINIMIZEBOX
                                           : common | DS_MODALFRAME | WS_POPUP;
}

}  // namespace

std::vector<std::uint32_t> BuildDialogTemplate(const DialogTemplate& dialog, DialogFrame frame,
                                               std::span<const ProvidedControl> provided) {
  TemplateWriter out;
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: the extended form
  out.Dword(0);      // helpID
  out.Dword(frame == DialogFrame::kMainWindow ? WS_EX_APPWINDOW : 0);
  out.Dword(FrameStyle(frame));
  const std::size_t countAt = out.Size();
  out.Word(0);  // cDlgItems, known once the controls are written
  out.Short(0);
  out.Short(0);
  out.Short(dialog.width);
  out.Short(dialog.height);
  out.Word(0);  // no menu: a window that has one sets it itself
  out.Word(0);  // the predefined dialog class
  out.Text(WideFromNarrow(dialog.caption));
  out.Word(8);  // points
  out.Word(FW_NORMAL);
  out.Word(static_cast<WORD>(DEFAULT_CHARSET << 8));  // not italic; the charset's byte
  out.Text(L"MS Shell Dlg");

  WORD count = 0;
  for (const DialogControl& control : dialog.controls) {
    const std::optional<ControlClass> kind = ClassOf(control, provided);
    if (!kind) continue;
    DWORD style = WS_CHILD | WS_VISIBLE | kind->style;
    if (control.styles & control_style::kTabStop) style |= WS_TABSTOP;
    if (control.styles & control_style::kGroup) style |= WS_GROUP;
    out.AlignToDword();
    out.Dword(0);  // helpID
    out.Dword(control.kind == ControlKind::kPlaceholder ? WS_EX_CLIENTEDGE : 0);
    out.Dword(style);
    out.Short(control.x);
    out.Short(control.y);
    out.Short(control.width);
    out.Short(control.height);
    out.Dword(static_cast<DWORD>(control.id == kUnnamedControl ? -1 : control.id));
    if (kind->name)
      out.Text(kind->name);
    else
      out.Ordinal(kind->ordinal);
    if (control.kind == ControlKind::kIcon)
      out.Ordinal(kProgramIconResource);
    else
      out.Text(WideFromNarrow(control.text));
    out.Word(0);  // no creation data
    ++count;
  }
  out.PatchWord(countAt, count);
  return out.Take();
}
