#pragma once

#include "winui/windows_api.h"

#include <filesystem>
#include <functional>
#include <string>

#include "winui/win32_ui_services.h"

// Opens the program's help document over one of its windows. The program
// opens the real document; tests put in their own to see what was asked.
class HelpOpener {
 public:
  virtual ~HelpOpener() = default;
  // At the document's contents.
  virtual void ShowContents(HWND owner) = 0;
  // At `section`, an anchor of the document ("editor", "options"...).
  virtual void ShowSection(HWND owner, const std::string& section) = 0;
};

// The help document is the HTML page the Linux build shows, and on Windows
// it opens in the user's default web browser rather than in a window of the
// program. Windows has no HTML viewer a program can count on: its own help
// viewer wants a compiled .chm, which nothing on the build machines makes,
// and the browser control of old (MSHTML) is retired, while the newer one
// needs a runtime of its own. The browser shows the same page as on Linux,
// with its links and anchors, finding, zoom, printing and the reader's own
// fonts and accessibility settings, and it outlives the dialog that asked.
class BrowserHelpOpener : public HelpOpener {
 public:
  // Starts the browser on `url` over `owner`; true when it was started.
  using OpenUrl = std::function<bool(HWND owner, const std::wstring& url)>;

  // `applicationName` captions the message shown when the help can't be
  // opened.
  BrowserHelpOpener(std::filesystem::path helpFile, std::string applicationName,
                    Win32UiServices& ui, OpenUrl openUrl = OpenInDefaultBrowser);

  void ShowContents(HWND owner) override;
  // At `section`, or at the document's top when it is empty. When the document is missing or no
  // browser starts, says "Failed to launch help." over `owner` and nothing else happens.
  void ShowSection(HWND owner, const std::string& section) override;

  // The browser registered for web addresses, given the address as its
  // argument: opening the document itself (ShellExecute on the .html)
  // would lose the section, which a file association drops.
  static bool OpenInDefaultBrowser(HWND owner, const std::wstring& url);

 private:
  std::filesystem::path helpFile_;
  std::string applicationName_;
  Win32UiServices& ui_;
  OpenUrl openUrl_;
};

// The file: address of a local document at `section` (an anchor; none when
// empty): "file:///C:/Program%20Files/Dustral/dustral.html#editor", and
// "file://server/share/..." for a share. Bytes outside the unreserved set
// are percent-encoded as UTF-8, so any name gives one address.
std::wstring FileUrlOf(const std::filesystem::path& file, const std::string& section);
