#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

// One line of progress on a terminal, redrawn in place with a carriage
// return. Nothing shows during the first second (a short run stays quiet),
// and after that the line is redrawn at most five times a second, so that
// drawing costs the run nothing worth measuring. Off when the stream is no
// terminal: a log or a pipe gets no progress.
class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr Clock::duration kQuietStart = std::chrono::seconds(1);
  static constexpr Clock::duration kRedrawInterval = std::chrono::milliseconds(200);

  // Draws on `stream` when `enabled`: first once `quietStart` has passed,
  // then at most once every `interval`.
  ProgressLine(std::FILE* stream, bool enabled, Clock::duration quietStart = kQuietStart,
               Clock::duration interval = kRedrawInterval);
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Redraws the line with the text `makeText` gives, when a redraw is due.
  // Cheap when none is: a read of the clock, and nothing at all when off.
  template <class MakeText>
  void Update(MakeText makeText) {
    if (enabled_ && Due()) Draw(makeText());
  }

  // Erases a drawn line, so that what follows starts at the line's start.
  void Clear();

 private:
  bool Due();
  void Draw(const std::string& text);
  void Write(const std::string& bytes);

  std::FILE* stream_;
  bool enabled_;
  Clock::duration interval_;
  Clock::time_point nextDraw_;
  bool drawn_ = false;
};
