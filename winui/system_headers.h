#pragma once

// Windows' own header, for every file of the Win32 windows. It names
// MessageBox as a macro for MessageBoxW, which would rename the program's
// own MessageBox (window/message_box.h) in some files and not in others;
// the system's message box is called by its full name, MessageBoxW.
#include <windows.h>
#undef MessageBox
