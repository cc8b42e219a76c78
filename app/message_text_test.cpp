#include <QTest>

#include <string>

#include "app/message_text.h"

class MessageTextTest : public QObject {
  Q_OBJECT

 private slots:
  void sizesRoundToTenthsOfDecimalUnits_data();
  void sizesRoundToTenthsOfDecimalUnits();
  void namesStayOnOneLine();
};

void MessageTextTest::sizesRoundToTenthsOfDecimalUnits_data() {
  QTest::addColumn<qulonglong>("bytes");
  QTest::addColumn<QString>("text");
  QTest::newRow("one") << 1ULL << "1 byte";
  QTest::newRow("below a kilobyte") << 999ULL << "999 bytes";
  QTest::newRow("a kilobyte") << 1000ULL << "1.0 kB";
  QTest::newRow("rounded down") << 999949ULL << "999.9 kB";
  QTest::newRow("rounded up a unit") << 999950ULL << "1.0 MB";
  QTest::newRow("megabytes") << 5119000ULL << "5.1 MB";
  QTest::newRow("largest") << 18446744073709551615ULL << "18.4 EB";
}

void MessageTextTest::sizesRoundToTenthsOfDecimalUnits() {
  QFETCH(qulonglong, bytes);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(ReadableSize(bytes)), text);
}

void MessageTextTest::namesStayOnOneLine() {
  QCOMPARE(QuotedForMessage("/a b/it's\n\t\x01\x7f\\\xe9.tmp"),
           std::string("'/a b/it\\'s\\n\\t\\001\\177\\\\\xe9.tmp'"));
}

QTEST_APPLESS_MAIN(MessageTextTest)
#include "message_text_test.moc"
