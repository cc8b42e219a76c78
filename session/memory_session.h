#pragma once

#include <ostream>

#include "session/cleaner_session.h"
#include "window/memory_controls.h"

// A session on controls held in memory, for the runs that never show the
// window (the unattended start, --preview, --clean): whatever runs on it
// cleans what the window would, and saving from it writes what the
// window's Exit would write. Messages go to `messages` one a line.
class MemorySession {
 public:
  MemorySession(SessionSources sources, PlatformServices platform, std::ostream& messages)
      : messages_(messages),
        session(SessionControls{boxes_, status_, waitCursor_, list_, messages_}, std::move(sources),
                platform) {}
  MemorySession(const MemorySession&) = delete;
  MemorySession& operator=(const MemorySession&) = delete;

 private:
  MemoryCheckBoxes boxes_;
  MemoryListControl list_;
  MemoryStatusLine status_;
  NoWaitCursor waitCursor_;
  StreamMessageBox messages_;

 public:
  CleanerSession session;  // made last: it works on the controls above
};
