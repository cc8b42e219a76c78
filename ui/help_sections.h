#pragma once

#include <QString>

class QWidget;

// The section of the help (an anchor of the document) about `window`, a
// window of the program: F1 opens the help there. The main window's
// section, the entry editor's, the options', the preview's and the About
// box's; the contents for any other window.
QString HelpSectionOf(const QWidget* window);
