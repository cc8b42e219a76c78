#include "ui/main_window.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include <map>
#include <utility>

#include "engine/clean_plan.h"
#include "resources/main_window_template.h"
#include "session/menu_command.h"
#include "settings/categories.h"
#include "ui/about_dialog.h"
#include "ui/dialog_layout.h"
#include "ui/entry_dialog.h"
#include "ui/entry_list_view.h"
#include "ui/help_sections.h"
#include "ui/help_viewer.h"
#include "ui/help_window.h"
#include "ui/menu_builder.h"
#include "ui/narrow_text.h"
#include "ui/options_dialog.h"
#include "ui/preview_dialog.h"
#include "ui/window_modal.h"

namespace {

namespace ids = main_window_template;

// The local files among dropped URLs, as the system's bytes; anything that
// is not a local file is passed over. A file manager percent-encodes every
// byte of a name that isn't valid UTF-8, so the path is decoded from its
// encoded form: going through a QString would replace such bytes.
std::vector<std::string> LocalFileNames(const QMimeData& data) {
  std::vector<std::string> names;
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) continue;
    const QByteArray name =
        url.host().isEmpty()
            ? QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
            : QFile::encodeName(url.toLocalFile());
    names.push_back(name.toStdString());
  }
  return names;
}

// The window manager's frame, guessed before it has framed the window: a
// title bar a little taller than a line of text, and a thin border.
QMargins FrameGuess(const QFont& font) { return {8, QFontMetrics(font).height() + 20, 8, 8}; }

// What the window takes beyond its template: the frame and the menu bar.
QSize FrameAndMenuBar(const QFont& font) {
  const QMargins frame = FrameGuess(font);
  return {frame.left() + frame.right(),
          frame.top() + frame.bottom() + QFontMetrics(font).height() + 12};
}

bool HoldsLocalFiles(const QMimeData* data) {
  return data && data->hasUrls() && !LocalFileNames(*data).empty();
}

}  // namespace

CCleanerDlg::CCleanerDlg(MainWindowContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      entryList_(new EntryListView),
      messages_(context_.ui, this) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    setFont(
        FontThatFits(font(), ids::kTemplate, screen->availableGeometry().size(), FrameAndMenuBar));
  const DialogControls controls =
      BuildDialog(*this, ids::kTemplate, {{ids::kEntryList, entryList_}});

  std::map<ControlId, QCheckBox*> boxes;
  for (const Category& category : kCategories)
    boxes[category.box] = controls.Get<QCheckBox>(static_cast<int>(category.box));
  boxes_ = std::make_unique<QtCheckBoxes>(std::move(boxes));
  status_ = std::make_unique<QtStatusLine>(*controls.Get<QLineEdit>(ids::kStatusLine));
  session_ = std::make_unique<CleanerSession>(
      SessionControls{*boxes_, *status_, waitCursor_, *entryList_, messages_}, context_.sources,
      context_.platform, [this] { QDialog::reject(); });
  EntryEditor& editor = *this;  // a private base: converted here, inside the class
  commands_ = std::make_unique<EntryCommands>(session_->Entries(), messages_, editor,
                                              context_.sources.applicationName);

  for (QWidget* widget : controls.InTemplateOrder()) {
    // Enter is the window's own key (see keyPressEvent): no button is
    // pressed by it unless it has the focus.
    if (auto* button = qobject_cast<QPushButton*>(widget)) button->setAutoDefault(false);
    if (widget->focusPolicy() == Qt::StrongFocus) tabStops_.push_back(widget);
  }

  const auto connectButton = [&](int id, auto handler) {
    connect(controls.Get<QPushButton>(id), &QPushButton::clicked, this, handler);
  };
  connectButton(ids::kCleanButton, [this] { OnOK(); });
  connectButton(ids::kExitButton, [this] { OnCancel(); });
  connectButton(ids::kAddButton, [this] { commands_->OnAddEntry(); });
  connectButton(ids::kCopyButton, [this] { commands_->OnCopyEntry(); });
  connectButton(ids::kEditButton, [this] { commands_->OnEditEntry(); });
  connectButton(ids::kDeleteButton, [this] { commands_->OnDeleteEntry(); });
  entryButtons_ = {controls.Get<QPushButton>(ids::kEditButton),
                   controls.Get<QPushButton>(ids::kDeleteButton),
                   controls.Get<QPushButton>(ids::kCopyButton)};

  connect(entryList_, &EntryListView::listClicked, this, [this] { OnClickList(); });
  connect(entryList_, &EntryListView::listDoubleClicked, this,
          [this] { commands_->OnEditEntry(); });
  connect(entryList_, &EntryListView::listRightClicked, this,
          [this](QPoint at) { OnRclickList(at); });
  // Queued: the question about a wide target may only be asked once the
  // in-place editor is gone.
  connect(
      entryList_, &EntryListView::labelEditEnded, this,
      [this](int row, const QByteArray& text) {
        commands_->OnEndLabelEdit(row, text.toStdString());
      },
      Qt::QueuedConnection);

  connect(entryList_, &EntryListView::menuKeyPressed, this,
          [this](QPoint at) { OnRclickList(at); });
  connect(entryList_, &EntryListView::deleteKeyPressed, this,
          [this] { commands_->OnDeleteEntry(); });
  connect(entryList_, &EntryListView::openKeyPressed, this, [this] { commands_->OnEditEntry(); });

  // Ctrl+Q is the desktop's key to quit; it leaves as Exit does, saving.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
          [this] { OnCancel(); });

  PlaceMenuBar();
  // A normal application window (the template made it a dialog), still of
  // fixed size: no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
}

CCleanerDlg::~CCleanerDlg() = default;

void CCleanerDlg::PlaceMenuBar() {
  QMenuBar* menuBar = BuildMenuBar(main_menu::kPopups, this);
  menuBar->setObjectName(QStringLiteral("menuBar"));
  connect(menuBar, &QMenuBar::triggered, this,
          [this](QAction* action) { OnCommand(CommandOf(*action)); });
  // The template's area starts below the menu bar.
  const int barHeight = menuBar->sizeHint().height();
  for (QObject* child : children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget && widget != menuBar && !widget->isWindow())
      widget->move(widget->pos() + QPoint(0, barHeight));
  }
  menuBar->setGeometry(0, 0, width(), barHeight);
  setFixedSize(width(), height() + barHeight);
}

int CCleanerDlg::DoModal() {
  OnInitDialog();
  if (session_->HasEnded()) return result();
  // Runs like QDialog::exec(), but without making the window modal: the
  // window manager is to treat it as the application's main window.
  QEventLoop loop;
  connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
  PlaceOnItsScreen();
  show();
  loop.exec(QEventLoop::DialogExec);
  return result();
}

void CCleanerDlg::PlaceOnItsScreen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  move(PlaceOnScreen(size(), FrameGuess(font()), QRect(), screen->availableGeometry()).topLeft());
}

void CCleanerDlg::OnInitDialog() {
  setAcceptDrops(true);
  for (QPushButton* button : entryButtons_) button->setEnabled(false);

  session_->Start();
  for (const Category& category : kCategories) {
    const int id = static_cast<int>(category.box);
    if (auto* box = findChild<QCheckBox*>(ControlObjectName(id)))
      box->setToolTip(ToDisplayText(session_->BoxTip(category.box)));
  }

  FocusFirstTabStop();
  if (session_->Settings().m_bAutoClean && context_.autoCleanAllowed) OnOK();
}

void CCleanerDlg::FocusFirstTabStop() {
  for (QWidget* widget : tabStops_) {
    if (widget->isEnabled()) {
      widget->setFocus();
      return;
    }
  }
}

void CCleanerDlg::OnOK() { session_->Clean(); }

// Ends the window through the session, which saves the settings once and
// then closes the window.
void CCleanerDlg::OnCancel() { session_->Exit(); }

void CCleanerDlg::reject() { OnCancel(); }

void CCleanerDlg::OnCommand(MenuCommand command) { RunMenuCommand(command, *this, *commands_); }

void CCleanerDlg::OnOptions() {
  COptionsDlg options(&session_->Settings(), this, context_.ui);
  connect(&options, &COptionsDlg::helpRequested, this,
          [this, &options] { context_.help.ShowSection(&options, HelpSectionOf(&options)); });
  options.DoModal();
}

void CCleanerDlg::OnPreview() {
  CleanPlan plan = session_->GatherPreview();
  PreviewDialog preview(std::move(plan), session_->Settings(), context_.platform.files,
                        context_.platform.launcher, waitCursor_, this);
  preview.DoModal();
}

void CCleanerDlg::OnAbout() {
  CAboutDlg about(this);
  RunWindowModal(about);
}

void CCleanerDlg::OnHelpContents() { context_.help.ShowContents(this); }

void CCleanerDlg::OnClickList() {
  for (QPushButton* button : entryButtons_) button->setEnabled(true);
}

void CCleanerDlg::OnRclickList(QPoint screenPosition) {
  // Built afresh each time from the menu's own table, as the menu bar is.
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("entryPopup"));
  AddMenuItems(menu, main_menu::kPopups[main_menu::kEntryPopup]);
  if (QAction* chosen = menu.exec(screenPosition)) OnCommand(CommandOf(*chosen));
}

bool CCleanerDlg::Run(CleanEntry& entry, EntryEditMode mode) {
  CEntryDlg editor(&entry, mode, this, context_.ui);
  return editor.DoModal() == QDialog::Accepted;
}

void CCleanerDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (!enter || !plain) {
    QDialog::keyPressEvent(event);  // Escape leaves through reject()
    return;
  }
  // A push button with the focus is pressed; anywhere else Enter cleans.
  // (The list takes its own Enter: it opens the selected row, and its
  // in-place edit keeps the key.)
  if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
    button->click();
    return;
  }
  OnOK();
}

void CCleanerDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (HoldsLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void CCleanerDlg::dragMoveEvent(QDragMoveEvent* event) {
  if (HoldsLocalFiles(event->mimeData())) event->acceptProposedAction();
}

void CCleanerDlg::dropEvent(QDropEvent* event) {
  if (!event->mimeData()) return;
  const std::vector<std::string> names = LocalFileNames(*event->mimeData());
  if (names.empty()) return;
  event->acceptProposedAction();
  commands_->OnDropFiles(names);
}
