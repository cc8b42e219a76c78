#include "ui/window_modal.h"

#include <QDialog>

int RunWindowModal(QDialog& dialog) {
  if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
  return dialog.exec();
}
