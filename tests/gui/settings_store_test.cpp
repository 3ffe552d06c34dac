#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>
#include <climits>
#include <memory>

#include "app/settings_store.h"
#include "platform/program_info.h"
#include "recording_services.h"
#include "sandbox.h"

using vell::ReadSettingInt;
using vell::ReadSettingString;
using vell::SettingsBatch;
using vell::SettingsLocation;
using vell::SettingsStore;
using vell::WriteSettingInt;
using vell::WriteSettingString;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

class SettingsStoreTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(PrepareSandbox());
    services_ = std::make_unique<ScopedRecordingServices>();
  }

  void cleanup() { services_.reset(); }

  void livesUnderCompanyAndProgramName() {
    const QString expected =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvant Systems/settings_store_test.conf");
    QCOMPARE(SettingsLocation(), expected);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    QSettings direct(expected, QSettings::IniFormat);
    QCOMPARE(direct.value(QStringLiteral("Settings/Tips")).toString(), QStringLiteral("0"));
  }

  // Absent values read as the default given, also history entries above
  // "Count".
  void absentValuesReadTheirDefault() {
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), -17), -17);
    QCOMPARE(ReadSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(WriteSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 3));
    QVERIFY(WriteSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QStringLiteral("1+1")));
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("2"), QString()), QString());
    QCOMPARE(ReadSettingInt(QStringLiteral("Expressions"), QStringLiteral("3"), 5), 5);
  }

  void integersPersist_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("negative") << -42;
    QTest::newRow("max") << INT_MAX;
    QTest::newRow("min") << INT_MIN;
  }
  void integersPersist() {
    QFETCH(int, value);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), value));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 12345), value);
    QSettings direct(SettingsLocation(), QSettings::IniFormat);
    QCOMPARE(direct.value(QStringLiteral("Settings/Minimize")).toInt(), value);
  }

  void stringsPersistUnchanged_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << "";
    QTest::newRow("commas") << "MAX(a,b, c)";
    QTest::newRow("quotes") << "\"text\" and 'more'";
    QTest::newRow("variant marker") << "@Variant(x)";
    QTest::newRow("backslashes") << "C:\\data\\vars\\*.TXT";
    QTest::newRow("ini syntax") << "[Settings]\nTips=0";
    QTest::newRow("blanks") << "  a ; b = c  ";
    QTest::newRow("control chars") << QString::fromUtf8("tab\there\x01end\r\n");
    QTest::newRow("non-latin") << QString::fromUtf8("Größe ÷ π ≈ 3,14 €");
    QTest::newRow("trailing backslash") << "ends with \\";
  }
  void stringsPersistUnchanged() {
    QFETCH(QString, value);
    QVERIFY(WriteSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), value));
    QVERIFY(WriteSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 1));
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QStringLiteral("default")), value);
    // What was written must leave the file usable for the next write.
    QVERIFY(WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("/tmp/*.TXT")));
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QString()), value);
    // QSettings reads what was written, and a store opened afresh checks it.
    QCOMPARE(QSettings(SettingsLocation(), QSettings::IniFormat).value(QStringLiteral("Expressions/1")).toString(),
             value);
    SettingsStore fresh;
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QString()), value);
    QVERIFY(services_->messages.isEmpty());
  }

  void readsValuesAsQSettingsDoes_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("blanks around") << QByteArray("  padded text  ");
    QTest::newRow("number") << QByteArray(" -42 ");
    QTest::newRow("quoted, then a comment") << QByteArray("\"a, b\" ; said");
    QTest::newRow("list") << QByteArray("a, b ,c");
    QTest::newRow("escapes") << QByteArray("\\x41\\102\\n\\q\\t|");
    QTest::newRow("escape at the end") << QByteArray("x\\x");
    QTest::newRow("quotes inside") << QByteArray("\"a\"b\"c\"");
    QTest::newRow("marker") << QByteArray("@@Variant(x)");
    QTest::newRow("invalid") << QByteArray("@Invalid()");
    QTest::newRow("bytes") << QByteArray("@ByteArray(abc)");
    QTest::newRow("text with NUL") << QByteArray("@String(a\\0b)");
    QTest::newRow("rectangle") << QByteArray("@Rect(1 2 3 4)");
    QTest::newRow("no rectangle") << QByteArray("@Rect(1 2)");
    QTest::newRow("list of variants") << QByteArray("@Invalid(), x");
    QTest::newRow("non-latin") << QByteArray(
        "Gr\xc3\xb6\xc3\x9f"
        "e \xe2\x82\xac");
  }
  void readsValuesAsQSettingsDoes() {
    QFETCH(QByteArray, stored);
    const QByteArray content = "[settings]\nrun%20AT%20start=" + stored + "\n";
    QVERIFY(WriteAll(SettingsLocation(), content));
    // QSettings reads a file of its own, afresh.
    const QString copy = SandboxDir() + QStringLiteral("/%1.ini").arg(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(WriteAll(copy, content));
    const QVariant read = QSettings(copy, QSettings::IniFormat).value(QStringLiteral("settings/run AT start"));
    const QString none = QStringLiteral("<none>");
    QString expected = none;
    if (read.userType() == QMetaType::QStringList) {
      expected = read.toStringList().join(QLatin1String(", "));
    } else if (read.isValid() && read.canConvert<QString>()) {
      expected = read.toString();
    }
    QCOMPARE(ReadSettingString(QStringLiteral("Settings"), QStringLiteral("Run at Start"), none), expected);
    bool ok = false;
    const int number = expected.trimmed().toInt(&ok);
    QCOMPARE(ReadSettingInt(QStringLiteral("SETTINGS"), QStringLiteral("run at start"), 12345), ok ? number : 12345);
  }

  void writesLeaveOtherLinesAsTheyWere() {
    QVERIFY(WriteAll(SettingsLocation(),
                     "\xEF\xBB\xBF; notes\r\n[Settings]\r\nTips = 1 ; on\r\nno equals sign\r\n# \"\r\n"
                     "[Other]\nx=\"a, b\"\n"));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0), 1);
    QVERIFY(WriteSettingInt(QStringLiteral("settings"), QStringLiteral("TIPS"), 0));
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 1));
    QVERIFY(WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("/a b/*.TXT")));
    QCOMPARE(ReadAll(SettingsLocation()),
             QByteArray("\xEF\xBB\xBF; notes\r\n[Settings]\r\nTips=0\r\nMinimize=1\r\nno equals sign\r\n# \"\r\n"
                        "[Other]\nx=\"a, b\"\n\n[Path]\nTXT=/a b/*.TXT\n"));
    QVERIFY(services_->messages.isEmpty());
  }

  // Names compare without letter case; the first write's spelling stays.
  void namesIgnoreLetterCase() {
    QVERIFY(WriteSettingInt(QStringLiteral("settings"), QStringLiteral("Run at start"), 1));
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 7));
    QCOMPARE(ReadSettingInt(QStringLiteral("SETTINGS"), QStringLiteral("run at START"), 0), 7);
    QCOMPARE(QSettings(SettingsLocation(), QSettings::IniFormat).allKeys(),
             QStringList{QStringLiteral("settings/Run at start")});
  }

  void unusableIntegersGiveTheDefault_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("text") << QByteArray("abc");
    QTest::newRow("beyond 32 bits") << QByteArray("4294967296");
    QTest::newRow("fraction") << QByteArray("1.5");
    QTest::newRow("empty") << QByteArray("");
  }
  void unusableIntegersGiveTheDefault() {
    QFETCH(QByteArray, stored);
    QVERIFY(WriteAll(SettingsLocation(), "[Settings]\nTips=" + stored + "\n"));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 9), 9);
  }

  void damagedFileIsLeftAlone_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<int>("line");
    const QByteArray head = "[Settings]\nTips=0\n";
    QTest::newRow("open quote") << head << QByteArray("Broken=\"never closed\n") << 3;
    QTest::newRow("line continuation") << head << QByteArray("Broken=abc\\\n") << 3;
    QTest::newRow("section without bracket") << head << QByteArray("[Path\n") << 3;
    QTest::newRow("invalid UTF-8") << head << QByteArray("Broken=\xff\xfe\n") << 3;
    QTest::newRow("binary") << head << QByteArray("\x00\x01\x02 garbage [[[ = =\n", 21) << 3;
    QTest::newRow("after comments and CRLF")
        << QByteArray("\xEF\xBB\xBF; c\r\n\n[Settings]\r\nTips=0\r\n# \"\r\n\n") << QByteArray("[Path\r\n") << 7;
  }
  void damagedFileIsLeftAlone() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, damage);
    QFETCH(int, line);
    const QByteArray content = head + damage + "Minimize=1\n[Expressions]\nCount=2\n";
    QVERIFY(WriteAll(SettingsLocation(), content));
    SettingsStore store;  // a new run
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 0), 0);
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1));
    QVERIFY(!WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("x")));
    QCOMPARE(ReadAll(SettingsLocation()), content);
    // Said once for the whole run, not at every read or write.
    QCOMPARE(services_->messages.size(), 1);
    QCOMPARE(services_->messages.first().first, vell::platform::ApplicationName());
    const QString text = services_->messages.first().second;
    QVERIFY2(text.contains(QDir::toNativeSeparators(SettingsLocation())), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("line %1 is not well formed").arg(line)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("will not be saved until it is repaired or removed")), qPrintable(text));
  }

  void damageByAnotherProgramIsNoticedAndItsRepair() {
    SettingsStore store;
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    const QByteArray damaged = ReadAll(SettingsLocation()) + "Broken=\"\n";
    QVERIFY(WriteAll(SettingsLocation(), damaged));
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 1));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadAll(SettingsLocation()), damaged);
    QCOMPARE(services_->messages.size(), 1);
    QVERIFY(services_->messages.first().second.contains(QStringLiteral("line 3 ")));

    QVERIFY(WriteAll(SettingsLocation(), "[settings]\ntips=0\n"));
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 1));
    QCOMPARE(ReadSettingInt(QStringLiteral("SETTINGS"), QStringLiteral("Tips"), 1), 0);
    QCOMPARE(QSettings(SettingsLocation(), QSettings::IniFormat).allKeys(),
             (QStringList{QStringLiteral("settings/Minimize"), QStringLiteral("settings/tips")}));
    QCOMPARE(services_->messages.size(), 1);
  }

  void batchWritesOnceAndReadsItsOwnValues() {
    QVERIFY(WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("/old/*.TXT")));
    const QByteArray before = ReadAll(SettingsLocation());
    {
      const SettingsBatch batch;
      QVERIFY(WriteSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QStringLiteral("2+2")));
      QVERIFY(WriteSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 1));
      QCOMPARE(ReadSettingInt(QStringLiteral("expressions"), QStringLiteral("count"), 0), 1);
      QCOMPARE(ReadAll(SettingsLocation()), before);
    }
    QSettings direct(SettingsLocation(), QSettings::IniFormat);
    QCOMPARE(direct.value(QStringLiteral("Expressions/1")).toString(), QStringLiteral("2+2"));
    QCOMPARE(direct.value(QStringLiteral("Expressions/Count")).toInt(), 1);
    QCOMPARE(direct.value(QStringLiteral("Path/TXT")).toString(), QStringLiteral("/old/*.TXT"));
  }

  void unreadableFileGivesDefaults() {
    // A folder where the file should be cannot be read, whoever runs the test.
    QVERIFY(QDir().mkpath(SettingsLocation()));
    SettingsStore store;
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    QVERIFY(QFileInfo(SettingsLocation()).isDir());
    QCOMPARE(services_->messages.size(), 1);
    QVERIFY(services_->messages.first().second.contains(QStringLiteral("cannot be read")));
  }

  void unwritableFolderFailsTheWrite() {
    // A file where the company folder should be: the folder cannot be made.
    const QString company = QFileInfo(SettingsLocation()).absolutePath();
    QVERIFY(WriteAll(company, "not a folder"));
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    QVERIFY(!WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("x")));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadAll(company), QByteArray("not a folder"));
  }

  void twoInstancesWritingAtOnce() {
    // Both writers are the same program, so they share one store file.
    const QString path =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvant Systems/settings_writer.conf");
    QVERIFY(WriteAll(path, "[Settings]\nTips=0\n[Path]\nTXT=/home/*.TXT\n"));
    constexpr int kCount = 50;
    QProcess first, second;
    first.start(QStringLiteral(VELL_SETTINGS_WRITER), {QStringLiteral("a"), QString::number(kCount)});
    second.start(QStringLiteral(VELL_SETTINGS_WRITER), {QStringLiteral("b"), QString::number(kCount)});
    QVERIFY(first.waitForFinished(90000));
    QVERIFY(second.waitForFinished(90000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);

    QSettings result(path, QSettings::IniFormat);
    QCOMPARE(result.status(), QSettings::NoError);
    QCOMPARE(result.value(QStringLiteral("Settings/Tips")).toString(), QStringLiteral("0"));
    QCOMPARE(result.value(QStringLiteral("Path/TXT")).toString(), QStringLiteral("/home/*.TXT"));
    QCOMPARE(result.value(QStringLiteral("Settings/Shared")).toInt(), kCount - 1);
    for (const QString& prefix : {QStringLiteral("a"), QStringLiteral("b")}) {
      for (int i = 0; i < kCount; ++i) {
        QCOMPARE(result.value(QStringLiteral("Expressions/") + prefix + QString::number(i)).toString(),
                 QStringLiteral("%1*%2").arg(prefix).arg(i));
      }
    }
  }

 private:
  std::unique_ptr<ScopedRecordingServices> services_;
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
