#pragma once

// windows.h for the program's windows. Its MessageBox macro is taken back
// at once: it would rename the program's own MessageBox (window/message_box.h)
// in whatever is included after it. Call MessageBoxW by its name.
#include <windows.h>
#undef MessageBox
