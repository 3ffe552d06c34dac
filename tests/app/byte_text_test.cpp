#include <QFont>
#include <QtTest>
#include <string>

#include "app/byte_text.h"
#include "app/byte_text_edit.h"
#include "app/dialog_units.h"

Q_DECLARE_METATYPE(std::string)

class ByteTextTest : public QObject {
  Q_OBJECT

 private slots:
  void invalidBytesShowAsWindows1252_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0x80 0x81 0x9F") << std::string("\x80\x81\x9F") << QStringLiteral("\u20AC\u0081\u0178");
    QTest::newRow("lone E9") << std::string("n=\xE9t\xE9") << QStringLiteral("n=\u00E9t\u00E9");
    QTest::newRow("utf-8 next to E9") << std::string("\xC3\xA9\xE9") << QStringLiteral("\u00E9\u00E9");
    QTest::newRow("four-byte") << std::string("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("cut sequence") << std::string("\xE2\x82x") << QStringLiteral("\u00E2\u201Ax");
    QTest::newRow("overlong") << std::string("\xC0\xAF") << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("surrogate") << std::string("\xED\xA0\x80") << QStringLiteral("\u00ED\u00A0\u20AC");
  }
  void invalidBytesShowAsWindows1252() {
    QFETCH(std::string, bytes);
    QFETCH(QString, shown);
    QCOMPARE(vell::DecodeBytes(bytes), shown);
  }

  void everyByteIsItsOwnWindows1252Character() {
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const QString shown = vell::DecodeBytes(byte);
      QCOMPARE(shown.size(), 1);
      QCOMPARE(vell::EncodeText(shown, vell::TextEncoding::kWindows1252), byte);
    }
    QCOMPARE(vell::EncodeText(QStringLiteral("\u00E9\u0080"), vell::TextEncoding::kWindows1252),
             std::string("\xE9\xC2\x80"));
    QCOMPARE(vell::EncodeText(QStringLiteral("\u00E9") + QChar(0xD800)), std::string("\xC3\xA9\xEF\xBF\xBD"));
  }

  void editKeepsBytesUntilChanged_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::newRow("crlf, lone cr and lf") << std::string("a=1\rb=2\r\nc=3\n");
    QTest::newRow("invalid utf-8") << std::string("x=\xFF\xFE\x81\x8D\x8F\x90\x9D\xC3\xA9\r\n");
    QTest::newRow("no-break space") << std::string("a=\xC2\xA0\x31");
    QTest::newRow("trailing blank lines") << std::string("a=1\r\n\r\n\r\n");
  }
  void editKeepsBytesUntilChanged() {
    QFETCH(std::string, bytes);
    vell::ByteTextEdit edit;
    edit.SetBytes(bytes);
    QCOMPARE(edit.Bytes(), bytes);
  }

  // An edit replaces `removed` units at `at` (-1: the end) with `typed`.
  void editKeepsTheRestAndTheEncoding_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::string>("edited");
    const std::string mixed("a=\xE9\r\nb=\xC3\xA9\r\nc=\x81");
    QTest::newRow("1252 middle") << mixed << 3 << 0 << QStringLiteral("\u00E9")
                                 << std::string("a=\xE9\xE9\r\nb=\xC3\xA9\r\nc=\x81");
    QTest::newRow("not in 1252") << mixed << 3 << 0 << QStringLiteral("\u2192")
                                 << std::string("a=\xE9\xE2\x86\x92\r\nb=\xC3\xA9\r\nc=\x81");
    QTest::newRow("1252 start") << mixed << 0 << 2 << QStringLiteral("\u20AC")
                                << std::string("\x80\xE9\r\nb=\xC3\xA9\r\nc=\x81");
    QTest::newRow("1252 end") << mixed << -1 << 0 << QStringLiteral("\u0160")
                              << std::string("a=\xE9\r\nb=\xC3\xA9\r\nc=\x81\x8A");
    QTest::newRow("new line in crlf") << mixed << 3 << 0 << QStringLiteral("\nd=\u00E9")
                                      << std::string("a=\xE9\r\nd=\xE9\r\nb=\xC3\xA9\r\nc=\x81");
    QTest::newRow("emoji in 1252") << std::string("\xC3\xA9\xFF\xF0\x9F\x98\x80") << 2 << 2
                                   << QString::fromUtf8("\xF0\x9F\x98\x81")
                                   << std::string("\xC3\xA9\xFF\xF0\x9F\x98\x81");
    QTest::newRow("1252 bytes forming utf-8")
        << std::string("x=\xE9") << -1 << 0 << QStringLiteral("\u00C3\u00A9") << std::string("x=\xE9\xC3\x83\xC2\xA9");
    QTest::newRow("utf-8 file") << std::string("a=\xC3\xA9\nb=1\n") << 3 << 0 << QStringLiteral("\u00E9\n")
                                << std::string("a=\xC3\xA9\xC3\xA9\n\nb=1\n");
    QTest::newRow("new line after lone cr")
        << std::string("a\rb\n") << 2 << 0 << QStringLiteral("\n") << std::string("a\n\nb\n");
    // Nothing of the old file is left (New, then typing): a new text.
    QTest::newRow("all replaced") << mixed << 0 << 11 << QStringLiteral("x=\u00E9") << std::string("x=\xC3\xA9");
    QTest::newRow("new box") << std::string() << 0 << 0 << QStringLiteral("x=1\ny=\u00E9")
                             << std::string("x=1\r\ny=\xC3\xA9");
  }
  void editKeepsTheRestAndTheEncoding() {
    QFETCH(std::string, bytes);
    QFETCH(int, at);
    QFETCH(int, removed);
    QFETCH(QString, typed);
    QFETCH(std::string, edited);
    vell::ByteTextEdit edit;
    edit.SetBytes(bytes);
    QTextCursor cursor(edit.document());
    cursor.setPosition(at < 0 ? edit.document()->characterCount() - 1 : at);
    cursor.setPosition(cursor.position() + removed, QTextCursor::KeepAnchor);
    cursor.insertText(typed);
    QCOMPARE(edit.Bytes(), edited);
  }

  void shiftEnterBreaksTheLinePlainly() {
    vell::ByteTextEdit edit;
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("a=1"));
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, QStringLiteral("b=2"));
    QCOMPARE(edit.Bytes(), std::string("a=1\r\nb=2"));
  }

  void dialogUnitsScaleWithTheFont_data() {
    QTest::addColumn<int>("baseWidth");
    QTest::addColumn<int>("baseHeight");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // The classic 8-point dialog font: 6 by 13 pixels.
    QTest::newRow("evaluate button") << 6 << 13 << QRect(190, 156, 39, 16) << QRect(285, 254, 59, 26);
    QTest::newRow("page") << 6 << 13 << QRect(0, 0, 237, 175) << QRect(0, 0, 356, 284);
    QTest::newRow("larger font") << 8 << 17 << QRect(8, 3, 221, 76) << QRect(16, 6, 442, 162);
  }
  void dialogUnitsScaleWithTheFont() {
    QFETCH(int, baseWidth);
    QFETCH(int, baseHeight);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    const vell::DialogUnits converter(baseWidth, baseHeight);
    QCOMPARE(converter.Rect(units.x(), units.y(), units.width(), units.height()), pixels);
  }

  void dialogUnitsComeFromTheFontMetrics() {
    QFont small;
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const vell::DialogUnits a(small);
    const vell::DialogUnits b(large);
    QVERIFY(a.baseWidth() > 0 && a.baseHeight() > 0);
    QVERIFY(b.baseWidth() > a.baseWidth());
    QVERIFY(b.baseHeight() > a.baseHeight());
    QCOMPARE(a.Y(8), a.baseHeight());
  }
};

QTEST_MAIN(ByteTextTest)
#include "byte_text_test.moc"
