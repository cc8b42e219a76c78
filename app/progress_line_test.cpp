#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/progress_line.h"

namespace {

// The read end of a pipe that the progress line writes to.
class Pipe {
 public:
  Pipe() {
    if (::pipe2(ends_, O_NONBLOCK) != 0) ends_[0] = ends_[1] = -1;
    stream_ = ::fdopen(ends_[1], "w");
  }
  ~Pipe() {
    ::close(ends_[0]);
    if (stream_) std::fclose(stream_);
  }
  std::FILE* WriteEnd() const { return stream_; }
  std::string Drain() {
    std::string bytes;
    char buffer[256];
    for (ssize_t got; (got = ::read(ends_[0], buffer, sizeof buffer)) > 0;)
      bytes.append(buffer, got);
    return bytes;
  }

 private:
  int ends_[2];
  std::FILE* stream_ = nullptr;
};

}  // namespace

class ProgressLineTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsInPlaceAfterTheQuietStartOnly();
  void staysSilentWhenOff();
};

void ProgressLineTest::drawsInPlaceAfterTheQuietStartOnly() {
  using std::chrono::hours;
  Pipe pipe;
  {
    ProgressLine quiet(pipe.WriteEnd(), true, hours(1));
    quiet.Update([] { return std::string("Gathering: 1 files"); });
  }  // a line never drawn is never erased either
  QCOMPARE(pipe.Drain(), std::string());

  ProgressLine progress(pipe.WriteEnd(), true, hours(0), hours(1));
  int made = 0;
  const auto text = [&made] { return "Deleting: " + std::to_string(++made) + " of 9 files"; };
  progress.Update(text);
  progress.Update(text);  // within the interval: neither drawn nor even made
  QCOMPARE(pipe.Drain(), std::string("\rDeleting: 1 of 9 files\033[K"));
  QCOMPARE(made, 1);
  progress.Clear();
  progress.Clear();
  QCOMPARE(pipe.Drain(), std::string("\r\033[K"));
}

void ProgressLineTest::staysSilentWhenOff() {
  Pipe pipe;
  {
    ProgressLine off(pipe.WriteEnd(), false, std::chrono::hours(0));
    off.Update([] { return std::string("Gathering: 1 files"); });
  }
  QCOMPARE(pipe.Drain(), std::string());
}

QTEST_APPLESS_MAIN(ProgressLineTest)
#include "progress_line_test.moc"
