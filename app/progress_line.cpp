#include "app/progress_line.h"

#include <unistd.h>

#include <cerrno>

ProgressLine::ProgressLine(int fd, bool enabled, Clock::duration quietStart,
                           Clock::duration interval)
    : fd_(fd), enabled_(enabled), interval_(interval), nextDraw_(Clock::now() + quietStart) {}

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
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;  // progress is worth no error of its own
    done += static_cast<std::size_t>(wrote);
  }
}

std::string GroupedDigits(std::size_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}
