#pragma once

class QDialog;

// Runs `dialog` modally and returns its result. A dialog with an owner
// blocks only its owner's windows, not the whole program: the help window
// stays usable beside it (F1 in a dialog opens the help to read while
// filling it in).
int RunWindowModal(QDialog& dialog);
