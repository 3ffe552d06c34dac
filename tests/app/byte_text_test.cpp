#include <QFont>
#include <QtTest>
#include <string>

#include "app/byte_text.h"
#include "app/byte_text_edit.h"
#include "app/dialog_units.h"

namespace {

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

}  // namespace

Q_DECLARE_METATYPE(std::string)

class ByteTextTest : public QObject {
  Q_OBJECT

 private slots:
  void bytesSurviveDecodeAndEncode_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << Bytes("a=1\r\nb=a*2", 10) << QStringLiteral("a=1\r\nb=a*2");
    QTest::newRow("utf-8") << std::string("x=\xC3\xA9\xE2\x82\xAC") << QStringLiteral("x=\u00E9\u20AC");
    QTest::newRow("four-byte") << std::string("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("latin-1 byte") << std::string("caf\xE9=1") << QStringLiteral("caf\uF7E9=1");
    QTest::newRow("cut sequence") << std::string("\xE2\x82") << QStringLiteral("\uF7E2\uF782");
    QTest::newRow("overlong") << std::string("\xC0\xAF") << QStringLiteral("\uF7C0\uF7AF");
    QTest::newRow("surrogate") << std::string("\xED\xA0\x80") << QStringLiteral("\uF7ED\uF7A0\uF780");
    QTest::newRow("escape range") << std::string("\xEF\x9C\x80") << QStringLiteral("\uF7EF\uF79C\uF780");
    QTest::newRow("lone continuation") << std::string("\x80x") << QStringLiteral("\uF780x");
    QTest::newRow("empty") << std::string() << QString();
  }
  void bytesSurviveDecodeAndEncode() {
    QFETCH(std::string, bytes);
    QFETCH(QString, shown);
    QCOMPARE(vell::DecodeBytes(bytes), shown);
    QCOMPARE(vell::EncodeText(vell::DecodeBytes(bytes)), bytes);
  }

  void everySingleByteAndPairSurvives() {
    for (int a = 0; a < 256; ++a) {
      for (int b = 0; b < 256; b += 7) {
        const std::string bytes{static_cast<char>(a), static_cast<char>(b), '\xE2', static_cast<char>(b)};
        QCOMPARE(vell::EncodeText(vell::DecodeBytes(bytes)), bytes);
      }
    }
  }

  void loneSurrogateInTextBecomesReplacementCharacter() {
    QString text = QStringLiteral("a");
    text.append(QChar(0xD800));
    QCOMPARE(vell::EncodeText(text), std::string("a\xEF\xBF\xBD"));
  }

  void editKeepsBytesUntilChanged_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::newRow("crlf") << std::string("a=1\r\nb=2\r\n");
    QTest::newRow("lf") << std::string("a=1\nb=2\n");
    QTest::newRow("lone cr and mixed") << std::string("a=1\rb=2\r\nc=3\n");
    QTest::newRow("invalid utf-8") << std::string("x=\xFF\xFE\r\n");
    QTest::newRow("no-break space") << std::string(
        "a=\xC2\xA0"
        "1");
    QTest::newRow("trailing blank lines") << std::string("a=1\r\n\r\n\r\n");
  }
  void editKeepsBytesUntilChanged() {
    QFETCH(std::string, bytes);
    vell::ByteTextEdit edit;
    edit.SetBytes(bytes);
    QCOMPARE(edit.Bytes(), bytes);
  }

  void editedTextUsesTheLineEndOfItsBytes_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<std::string>("edited");
    QTest::newRow("typed into a new box") << std::string() << std::string("x=1\r\ny=\xFF");
    QTest::newRow("file with lf") << std::string("a\n") << std::string("x=1\ny=\xFF");
    QTest::newRow("file with crlf") << std::string("a\r\n") << std::string("x=1\r\ny=\xFF");
  }
  void editedTextUsesTheLineEndOfItsBytes() {
    QFETCH(std::string, bytes);
    QFETCH(std::string, edited);
    vell::ByteTextEdit edit;
    edit.SetBytes(bytes);
    edit.setPlainText(QStringLiteral("x=1\ny=") + QChar(0xF7FF));
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
