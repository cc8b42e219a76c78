#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "app/progress_line.h"

namespace {

// The read end of a pipe that the progress line writes to.
class Pipe {
 public:
  Pipe() {
    if (::pipe2(ends_, O_NONBLOCK) != 0) ends_[0] = ends_[1] = -1;
  }
  ~Pipe() {
    ::close(ends_[0]);
    ::close(ends_[1]);
  }
  int WriteEnd() const { return ends_[1]; }
  std::string Drain() {
    std::string bytes;
    char buffer[256];
    for (ssize_t got; (got = ::read(ends_[0], buffer, sizeof buffer)) > 0;)
      bytes.append(buffer, got);
    return bytes;
  }

 private:
  int ends_[2];
};

}  // namespace

class ProgressLineTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsInPlaceAfterTheQuietStartOnly();
  void staysSilentWhenOff();
  void groupsDigits();
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

void ProgressLineTest::groupsDigits() {
  QCOMPARE(GroupedDigits(0), std::string("0"));
  QCOMPARE(GroupedDigits(999), std::string("999"));
  QCOMPARE(GroupedDigits(1000), std::string("1,000"));
  QCOMPARE(GroupedDigits(1234567), std::string("1,234,567"));
}

QTEST_APPLESS_MAIN(ProgressLineTest)
#include "progress_line_test.moc"
