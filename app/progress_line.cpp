#include "app/progress_line.h"

#include "platform/terminal.h"

ProgressLine::ProgressLine(std::FILE* stream, bool enabled, Clock::duration quietStart,
                           Clock::duration interval)
    : stream_(stream),
      enabled_(enabled),
      interval_(interval),
      nextDraw_(Clock::now() + quietStart) {}

bool ProgressLine::Due() {
  const Clock::time_point now = Clock::now();
  if (now < nextDraw_) return false;
  nextDraw_ = now + interval_;
  return true;
}

void ProgressLine::Draw(const std::string& text) {
  // To the line's start, the text, then erase what a longer text left.
  Write("\r" + text + "\033[K");
  drawn_ = true;
}

void ProgressLine::Clear() {
  if (!drawn_) return;
  Write("\r\033[K");
  drawn_ = false;
}

void ProgressLine::Write(const std::string& bytes) {
  // Progress is worth no error of its own: a failed write is passed over.
  WriteText(stream_, bytes);
  std::fflush(stream_);
}
