#include "ui/preview_dialog.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "session/plan_listing.h"
#include "ui/clean_plan_model.h"
#include "ui/narrow_text.h"
#include "ui/window_modal.h"

namespace {

QLabel* WrappedLabel(const QString& text, const QString& name) {
  auto* label = new QLabel(text);
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

}  // namespace

PreviewDialog::PreviewDialog(CleanPlan plan, const CleanSettings& options, FileSystem& files,
                             ProgramLauncher& launcher, WaitCursor& waitCursor, QWidget* owner)
    : QDialog(owner),
      plan_(std::move(plan)),
      options_(options),
      files_(files),
      launcher_(launcher),
      waitCursor_(waitCursor) {
  setWindowTitle(QStringLiteral("Dustral Preview"));
  model_ = new CleanPlanModel(plan_, this);

  view_ = new QTreeView;
  view_->setObjectName(QStringLiteral("previewFiles"));
  // Every row one line high: the view then lays out a hundred thousand rows
  // without measuring them.
  view_->setUniformRowHeights(true);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTextElideMode(Qt::ElideMiddle);
  view_->setAllColumnsShowFocus(true);
  view_->setModel(model_);
  for (int group = 0; group < model_->rowCount(); ++group)
    view_->setFirstColumnSpanned(group, {}, true);
  view_->expandAll();
  // A header click sorts each group's files; until then they are listed in
  // the order Clean takes them.
  view_->header()->setSortIndicator(-1, Qt::AscendingOrder);
  view_->setSortingEnabled(true);

  openFolder_ = new QAction(QStringLiteral("Open Containing &Folder"), view_);
  openFolder_->setObjectName(QStringLiteral("previewOpenFolder"));
  copyPath_ = new QAction(QStringLiteral("&Copy Path"), view_);
  copyPath_->setObjectName(QStringLiteral("previewCopyPath"));
  view_->addAction(openFolder_);
  view_->addAction(copyPath_);
  view_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(openFolder_, &QAction::triggered, this, &PreviewDialog::OnOpenContainingFolder);
  connect(copyPath_, &QAction::triggered, this, &PreviewDialog::OnCopyPath);

  filter_ = new QLineEdit;
  filter_->setObjectName(QStringLiteral("previewFilter"));
  filter_->setPlaceholderText(QStringLiteral("Show only files whose name contains..."));
  filter_->setClearButtonEnabled(true);
  auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"));
  filterLabel->setBuddy(filter_);
  filterNote_ = WrappedLabel({}, QStringLiteral("previewFilterNote"));
  filterNote_->hide();
  connect(filter_, &QLineEdit::textChanged, this, &PreviewDialog::OnFilterChanged);

  summary_ = WrappedLabel({}, QStringLiteral("previewSummary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  failureLines_ = new QStringListModel(this);
  failures_ = new QListView;
  failures_->setObjectName(QStringLiteral("previewFailures"));
  failures_->setUniformItemSizes(true);
  failures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  failures_->setModel(failureLines_);
  failures_->hide();

  cleanButton_ = new QPushButton(QStringLiteral("&Clean"));
  cleanButton_->setObjectName(QStringLiteral("previewClean"));
  cleanButton_->setAutoDefault(false);
  closeButton_ = new QPushButton(QStringLiteral("Close"));
  closeButton_->setObjectName(QStringLiteral("previewClose"));
  // Enter closes: deleting takes a deliberate press of Clean.
  closeButton_->setDefault(true);
  connect(cleanButton_, &QPushButton::clicked, this, &PreviewDialog::OnClean);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cleanButton_);
  buttons->addWidget(closeButton_);

  auto* layout = new QVBoxLayout(this);
  intro_ = WrappedLabel(ToDisplayText(kPreviewIntroText), QStringLiteral("previewIntro"));
  layout->addWidget(intro_);
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filter_, 1);
  layout->addLayout(filterRow);
  layout->addWidget(filterNote_);
  layout->addWidget(view_, 3);
  layout->addWidget(summary_);
  layout->addWidget(failures_, 1);
  layout->addLayout(buttons);

  ShowTotals();
  SizeOnce();
  view_->setFocus();
}

PreviewDialog::~PreviewDialog() = default;

int PreviewDialog::DoModal() { return RunWindowModal(*this); }

// The columns and the window get their sizes from the font once, never
// from the rows: measuring every row of a large plan would take seconds.
void PreviewDialog::SizeOnce() {
  const QFontMetrics metrics(view_->font());
  QHeaderView* header = view_->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(CleanPlanModel::kFileColumn, QHeaderView::Stretch);
  const int padding = metrics.averageCharWidth() * 3;
  header->resizeSection(CleanPlanModel::kSizeColumn,
                        std::max(metrics.horizontalAdvance(QStringLiteral("999 bytes")),
                                 metrics.horizontalAdvance(QStringLiteral("999.9 MB"))) +
                            padding);
  header->resizeSection(CleanPlanModel::kKeptColumn,
                        metrics.horizontalAdvance(QStringLiteral("Left alone because")) + padding);

  QSize size(metrics.averageCharWidth() * 140, metrics.lineSpacing() * 40);
  if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

void PreviewDialog::ShowTotals() {
  const PlanTotals& totals = model_->Totals();
  summary_->setText(ToDisplayText(PreviewTotalsText(totals)));
  cleanButton_->setEnabled(totals.toDelete > 0);
}

void PreviewDialog::OnFilterChanged(const QString& text) {
  model_->SetFilter(text.trimmed());
  if (model_->Filter().isEmpty()) {
    filterNote_->hide();
    return;
  }
  filterNote_->setText(
      ToDisplayText(FilterNoteText(model_->ShownCount(), plan_.Count(), report_.has_value())));
  filterNote_->show();
}

void PreviewDialog::OnOpenContainingFolder() {
  const std::string folder = model_->FolderAt(view_->currentIndex());
  if (!folder.empty()) launcher_.Open(folder);
}

void PreviewDialog::OnCopyPath() {
  const std::string path = model_->PathAt(view_->currentIndex());
  if (!path.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(path));
}

void PreviewDialog::OnClean() {
  if (report_) return;
  cleanButton_->setEnabled(false);
  closeButton_->setFocus();
  {
    ScopedWaitCursor cursor(waitCursor_);
    QElapsedTimer sinceDrawn;
    sinceDrawn.start();
    report_ = ExecuteCleanPlan(plan_, options_, files_, [&](std::size_t done, std::size_t total) {
      // Drawn on the spot, as the main window's status line is: the
      // deletion has no event loop of its own.
      if (sinceDrawn.elapsed() < 100) return;
      sinceDrawn.restart();
      summary_->setText(ToDisplayText(DeletingProgressText(done, total)));
      summary_->repaint();
    });
  }
  ShowReport(*report_);
}

void PreviewDialog::ShowReport(const CleanReport& report) {
  intro_->setText(ToDisplayText(kPreviewCleanedIntroText));
  model_->SetOutcome(report);
  OnFilterChanged(filter_->text());
  QStringList lines;
  for (const std::string& line : CleanReportLines(report)) lines << ToDisplayText(line);
  summary_->setText(lines.join(QLatin1Char('\n')));

  if (!report.failures.empty()) {
    QStringList failures;
    failures.reserve(static_cast<qsizetype>(report.failures.size()));
    for (const CleanReport::Failure& failure : report.failures)
      failures << ToDisplayText(FailureLineText(failure));
    failureLines_->setStringList(failures);
    failures_->show();
  }
}
