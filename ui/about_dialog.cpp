#include "ui/about_dialog.h"

#include <QPushButton>

#include "resources/about_template.h"
#include "ui/dialog_layout.h"

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
  const DialogControls controls = BuildDialog(*this, about_template::kTemplate);
  if (auto* ok = controls.Get<QPushButton>(1))
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
