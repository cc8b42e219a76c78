#include <QApplication>
#include <QFile>

#include "app/cleaner_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  CCleanerApp program(QFile::encodeName(QApplication::applicationFilePath()).toStdString());
  return program.InitInstance();
}
