#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QtTest>
#include <climits>

#include "app/settings_store.h"
#include "sandbox.h"

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
  void init() { QVERIFY(PrepareSandbox()); }

  void livesUnderCompanyAndProgramName() {
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") +
                             QStringLiteral("/Quorvant Systems/settings_store_test.conf");
    QCOMPARE(SettingsLocation(), expected);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    QSettings direct(expected, QSettings::IniFormat);
    QCOMPARE(direct.value(QStringLiteral("Settings/Tips")).toString(), QStringLiteral("0"));
  }

  void firstStartReadsDefaults_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("defaultInt");
    QTest::addColumn<QString>("defaultString");
    QTest::newRow("Tips") << "Settings" << "Tips" << 1 << "";
    QTest::newRow("Minimize") << "Settings" << "Minimize" << 0 << "";
    QTest::newRow("Run At Start") << "Settings" << "Run At Start" << 0 << "";
    QTest::newRow("Count") << "Expressions" << "Count" << 0 << "";
    QTest::newRow("TXT") << "Path" << "TXT" << 0 << "";
    QTest::newRow("odd default") << "Settings" << "Missing" << -17 << "fallback";
  }
  void firstStartReadsDefaults() {
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(int, defaultInt);
    QFETCH(QString, defaultString);
    QCOMPARE(ReadSettingInt(section, name, defaultInt), defaultInt);
    QCOMPARE(ReadSettingString(section, name, defaultString), defaultString);
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
  }

  void namesIgnoreLetterCase() {
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 1));
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Run at start"), 7));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 0), 7);
    QCOMPARE(ReadSettingInt(QStringLiteral("SETTINGS"), QStringLiteral("run at START"), 0), 7);
    QSettings direct(SettingsLocation(), QSettings::IniFormat);
    direct.beginGroup(QStringLiteral("Settings"));
    QCOMPARE(direct.childKeys(), QStringList{QStringLiteral("Run At Start")});
    QCOMPARE(direct.childGroups(), QStringList());
    direct.endGroup();
    QCOMPARE(direct.childGroups(), QStringList{QStringLiteral("Settings")});
  }

  void firstWriteKeepsItsSpelling() {
    QVERIFY(WriteSettingInt(QStringLiteral("settings"), QStringLiteral("Run at start"), 1));
    QSettings direct(SettingsLocation(), QSettings::IniFormat);
    QCOMPARE(direct.allKeys(), QStringList{QStringLiteral("settings/Run at start")});
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 0), 1);
  }

  void historyBeyondCountReadsEmpty() {
    QVERIFY(WriteSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 3));
    QVERIFY(WriteSettingString(QStringLiteral("Expressions"), QStringLiteral("1"), QStringLiteral("1+1")));
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("2"), QString()), QString());
    QCOMPARE(ReadSettingString(QStringLiteral("Expressions"), QStringLiteral("3"), QString()), QString());
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
    QTest::addColumn<QByteArray>("damage");
    QTest::newRow("open quote") << QByteArray("Broken=\"never closed\n");
    QTest::newRow("line continuation") << QByteArray("Broken=abc\\\n");
    QTest::newRow("section without bracket") << QByteArray("[Path\n");
    QTest::newRow("invalid UTF-8") << QByteArray("Broken=\xff\xfe\n");
    QTest::newRow("binary") << QByteArray("\x00\x01\x02 garbage [[[ = =\n", 21);
  }
  void damagedFileIsLeftAlone() {
    QFETCH(QByteArray, damage);
    const QByteArray content = "[Settings]\nTips=0\n" + damage + "Minimize=1\n[Expressions]\nCount=2\n";
    QVERIFY(WriteAll(SettingsLocation(), content));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadSettingInt(QStringLiteral("Expressions"), QStringLiteral("Count"), 0), 0);
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1));
    QVERIFY(!WriteSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("x")));
    QCOMPARE(ReadAll(SettingsLocation()), content);
  }

  void harmlessOddLinesAreAccepted() {
    QVERIFY(WriteAll(SettingsLocation(), "; comment\n# note\n[Settings]\nno equals sign\nTips=0\n"));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 0);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 1));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 0);
  }

  void unreadableFileGivesDefaults() {
    // A folder where the file should be cannot be read, whoever runs the test.
    QVERIFY(QDir().mkpath(SettingsLocation()));
    QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 1);
    QCOMPARE(ReadSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("d")), QStringLiteral("d"));
    QVERIFY(!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 0));
    QVERIFY(QFileInfo(SettingsLocation()).isDir());
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
    const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvant Systems/settings_writer.conf");
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
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
