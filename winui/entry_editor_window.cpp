#include "winui/entry_editor_window.h"

#include <optional>
#include <string>

#include "platform/win32/wide_text.h"
#include "resources/entry_dialog_template.h"
#include "session/entry_form.h"
#include "winui/dialog_from_template.h"
#include "winui/dialog_item_text.h"
#include "winui/fit_to_text.h"
#include "winui/help_sections.h"

namespace {

using namespace entry_dialog;

class EntryEditorWindow {
 public:
  EntryEditorWindow(CleanEntry& entry, EntryEditMode mode, Win32UiServices& ui)
      : entry_(entry), mode_(mode), ui_(ui) {}

  bool Run(HWND owner) {
    const std::vector<std::uint32_t> built = BuildDialogTemplate(kTemplate, DialogFrame::kModal);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(built), owner, Proc,
                                   reinterpret_cast<LPARAM>(this)) == IDOK;
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto* self = reinterpret_cast<EntryEditorWindow*>(lParam);
      self->dialog_ = dialog;
      FitControlsToText(dialog);
      MarkHelpSection(dialog, "editor");
      self->OnInitDialog();
      return TRUE;
    }
    if (message == WM_DESTROY) UnmarkHelpSection(dialog);
    auto* self = reinterpret_cast<EntryEditorWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    return self->OnCommand(LOWORD(wParam), HIWORD(wParam));
  }

  void OnInitDialog() {
    const EntryFormStart start = StartEntryForm(entry_, mode_);
    SetWindowTextW(dialog_, WideFromNarrow(start.caption).c_str());
    if (start.fields.individualOn) SetFileText(start.fields.fileText);
    if (start.fields.wildcardOn) SetPathText(start.fields.pathText);
    SetMode(start.fields.individualOn, start.fields.wildcardOn);
    SetItemChecked(dialog_, kRecurseBox, start.fields.recurse);
    HWND box = GetDlgItem(dialog_, kWildcardBox);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& wildcard : start.wildcardChoices)
      SendMessageW(box, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(WideFromNarrow(wildcard).c_str()));
    SendMessageW(box, CB_SETCURSEL, start.firstWildcardSelected ? 0 : static_cast<WPARAM>(-1), 0);
  }

  BOOL OnCommand(int id, int code) {
    switch (id) {
      case kFileEdit:
        if (code == EN_CHANGE) SetMode(true, false);
        return TRUE;
      case kPathEdit:
        if (code == EN_CHANGE) SetMode(false, true);
        return TRUE;
      case kBrowseFileButton:
        if (code == BN_CLICKED) OnBrowseFile();
        return TRUE;
      case kBrowseDirButton:
        if (code == BN_CLICKED) OnBrowseDir();
        return TRUE;
      case kClearButton:
        if (code == BN_CLICKED) OnClear();
        return TRUE;
      case IDOK:
        OnOK();
        return TRUE;
      case IDCANCEL:
        EndDialog(dialog_, IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void SetMode(bool individual, bool wildcard) {
    SetItemChecked(dialog_, kIndividualRadio, individual);
    SetItemChecked(dialog_, kWildcardRadio, wildcard);
  }

  // Setting an edit's text applies the mode rule even when the text is the
  // one already shown, which the edit would not announce as a change.
  void SetFileText(const std::string& text) {
    SetDialogItemText(dialog_, kFileEdit, text);
    SetMode(true, false);
  }
  void SetPathText(const std::string& text) {
    SetDialogItemText(dialog_, kPathEdit, text);
    SetMode(false, true);
  }

  void OnBrowseFile() {
    const std::optional<std::string> chosen =
        ui_.ChooseFile(dialog_, FileToDeleteRequest(DialogItemText(dialog_, kFileEdit)));
    if (chosen && !chosen->empty()) SetFileText(*chosen);
  }

  void OnBrowseDir() {
    const std::optional<std::string> chosen =
        ui_.ChooseDirectory(dialog_, kChooseDirectoryTitle, DialogItemText(dialog_, kPathEdit));
    if (chosen && !chosen->empty()) SetPathText(*chosen);
  }

  void OnClear() {
    SetFileText("");
    SetMode(false, false);
    SetPathText("");
    SetItemChecked(dialog_, kRecurseBox, false);
  }

  void OnOK() {
    const EntryFormFields shown{
        IsItemChecked(dialog_, kIndividualRadio), IsItemChecked(dialog_, kWildcardRadio),
        DialogItemText(dialog_, kFileEdit),       DialogItemText(dialog_, kPathEdit),
        DialogItemText(dialog_, kWildcardBox),    IsItemChecked(dialog_, kRecurseBox)};
    // The checks write into the record as they go; the caller's record
    // changes only once they all pass.
    CleanEntry edited = entry_;
    Win32OwnedMessageBox messages(ui_, dialog_);
    if (!AcceptEntryForm(shown, edited, messages)) return;
    entry_ = std::move(edited);
    EndDialog(dialog_, IDOK);
  }

  CleanEntry& entry_;
  EntryEditMode mode_;
  Win32UiServices& ui_;
  HWND dialog_ = nullptr;
};

}  // namespace

bool RunEntryEditor(HWND owner, CleanEntry& entry, EntryEditMode mode, Win32UiServices& ui) {
  EntryEditorWindow window(entry, mode, ui);
  return window.Run(owner);
}
