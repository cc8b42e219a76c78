#include <QTest>

#include <string>

#include "app/message_text.h"

class MessageTextTest : public QObject {
  Q_OBJECT

 private slots:
  void namesStayOnOneLine();
};

void MessageTextTest::namesStayOnOneLine() {
  QCOMPARE(QuotedForMessage("/a b/it's\n\t\x01\x7f\\\xe9.tmp"),
           std::string("'/a b/it\\'s\\n\\t\\001\\177\\\\\xe9.tmp'"));
}

QTEST_APPLESS_MAIN(MessageTextTest)
#include "message_text_test.moc"
