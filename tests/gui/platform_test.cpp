#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "platform/autostart.h"
#include "platform/desktop_entry.h"
#include "platform/message_box.h"
#include "platform/mime_defaults.h"
#include "platform/open_document.h"
#include "platform/program_info.h"
#include "recording_services.h"
#include "sandbox.h"

using namespace vell::platform;

namespace {

void WriteText(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

#ifdef VELL_DESKTOP_FILE_VALIDATE
// What desktop-file-validate says about a file, one complaint a line. The
// entry must say Comment=Vell beside Name=Vell, so the note that the two
// look alike is expected and left out.
QStringList DesktopFileComplaints(const QString& path) {
  QProcess validate;
  validate.setProcessChannelMode(QProcess::MergedChannels);
  validate.start(QStringLiteral(VELL_DESKTOP_FILE_VALIDATE), {path});
  if (!validate.waitForFinished(30000)) return {QStringLiteral("desktop-file-validate did not finish")};
  QStringList complaints;
  for (const QString& line : QString::fromUtf8(validate.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (!line.contains(
            QLatin1String("for key \"Comment\" in group \"Desktop Entry\" looks the same as that of key \"Name\"")))
      complaints << line;
  }
  if (validate.exitStatus() != QProcess::NormalExit || validate.exitCode() != 0)
    complaints << QStringLiteral("exit status %1").arg(validate.exitCode());
  return complaints;
}
#endif

QString DataApps() { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications/"); }
QString SystemApps() { return qEnvironmentVariable("XDG_DATA_DIRS") + QStringLiteral("/applications/"); }

const QStringList kHostileAddresses = {
    QStringLiteral("x; rm -rf ~"),
    QStringLiteral("\"quoted\" $(touch /tmp/vell-pwned) `id` 'single'"),
    QStringLiteral("a b\tc\\d %u %% & | > out"),
};

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(PrepareSandbox()); }

  // How an Exec line becomes the command for one address: field codes expand
  // only to whole arguments no shell reads; an empty list refuses the entry.
  void handlerCommand_data() {
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("expected");
    const QString name = QStringLiteral("Evil;$(touch pwned) `id` \"q\"");
    const QString path = QStringLiteral("/apps/my apps/web;$(id).desktop");
    const QString a = QStringLiteral("https://x.test/a b?c='1';$(id)`id`\"&r=2");
    const auto row = [&](const char* tag, const char* exec, const QStringList& expected) -> QTestData& {
      return QTest::newRow(tag) << QString::fromUtf8(exec) << QStringLiteral("web") << a << expected;
    };
    row("%u", "firefox %u", {"firefox", a});
    row("%U with option", "/usr/bin/chromium --new-window %U", {"/usr/bin/chromium", "--new-window", a});
    row("%f", "viewer %f", {"viewer", a});
    row("no field code", "epiphany", {"epiphany", a});
    row("arguments after the code stay", "flatpak run --file-forwarding org.browser @@u %u @@",
        {"flatpak", "run", "--file-forwarding", "org.browser", "@@u", a, "@@"});
    row("code inside an argument", "browser --url=%u", {"browser", "--url=" + a});
    row("quoted program", "\"/opt/My Browser/run\" %U", {"/opt/My Browser/run", a});
    row("escapes in quotes", "b \"say \\\"hi\\\" \\$HOME \\\\ \\`x\\`\" %u", {"b", "say \"hi\" $HOME \\ `x`", a});
    row("other codes", "b %i %c %k %%u %d %u", {"b", "--icon", "web", name, path, "%u", a});
    row("second target code vanishes", "b %u %F", {"b", a});
    row("empty quoted argument kept", "b \"\" %u", {"b", "", a});
    row("values as whole arguments", "browser --class %c --file %k %u",
        {"browser", "--class", name, "--file", path, a});
    row("percent in quotes", "sh -c \"printf 100%%\" %u", {"sh", "-c", "printf 100%", a});
    row("deprecated codes go", "browser %d %D %n %N %v %m %U", {"browser", a});
    QTest::newRow("no icon, no --icon") << "browser %i %F" << QString() << a << QStringList{"browser", a};
    for (const char* exec :
         {"sh -c \"echo %u %c\"", "browser \"%u\"", "sh -c \"echo \"%c", "browser \"%x\" %u", "%c %u",
          "browser --urls=%U", "browser --x%i %u", "", "   ", "\"/opt/browser %u", "\"\" %u"})
      row(QByteArray("refused [").append(exec).append(']').constData(), exec, {});
    for (const QString& address : kHostileAddresses)
      QTest::newRow(qPrintable(address)) << "browser %u" << QString() << address << QStringList{"browser", address};
  }
  void handlerCommand() {
    QFETCH(QString, exec);
    QFETCH(QString, icon);
    QFETCH(QString, address);
    QFETCH(QStringList, expected);
    const DesktopEntry entry{QStringLiteral("/apps/my apps/web;$(id).desktop"),
                             QStringLiteral("Evil;$(touch pwned) `id` \"q\""), icon, exec};
    QCOMPARE(BuildHandlerCommand(entry, address), expected);
  }

  void defaultHtmlHandlerIsFound() {
    WriteText(DataApps() + "browser.desktop", "[Desktop Entry]\nExec=browser %u\n");
    WriteText(SystemApps() + "kde/konq.desktop", "[Desktop Entry]\nExec=konq %u\n");
    WriteText(SystemApps() + "other.desktop", "[Desktop Entry]\nExec=other\n");
    QCOMPARE(FindDefaultDesktopId(QStringLiteral("text/html")), QString());
    WriteText(SystemApps() + "mimeinfo.cache", "[MIME Cache]\ntext/html=gone.desktop;other.desktop;\n");
    QCOMPARE(FindDefaultDesktopId(QStringLiteral("text/html")), QStringLiteral("other.desktop"));
    WriteText(SystemApps() + "defaults.list", "[Default Applications]\ntext/html=kde-konq.desktop\n");
    QCOMPARE(FindDefaultDesktopId(QStringLiteral("text/html")), QStringLiteral("kde-konq.desktop"));
    QCOMPARE(FindDesktopEntryFile(QStringLiteral("kde-konq.desktop")), SystemApps() + "kde/konq.desktop");
    WriteText(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list",
              "[Added Associations]\ntext/html=other.desktop\n"
              "[Default Applications]\ntext/plain=other.desktop\ntext/html=missing.desktop;browser.desktop;\n");
    QCOMPARE(FindDefaultDesktopId(QStringLiteral("text/html")), QStringLiteral("browser.desktop"));
    QCOMPARE(FindDesktopEntryFile(QStringLiteral("browser.desktop")), DataApps() + "browser.desktop");
    QCOMPARE(FindDesktopEntryFile(QStringLiteral("../browser.desktop")), QString());
  }

  void openDocument_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("desktopAccepts");
    QTest::addColumn<OpenResult>("result");
    QTest::addColumn<QString>("opened");  // empty: nothing handed to the desktop
    const QString existing = SandboxDir() + QStringLiteral("/guide.txt");
    const OpenResult opened = OpenResult::kOpened;
    QTest::newRow("web address") << "https://example.com/a b?x=$(id)" << true << opened
                                 << "https://example.com/a%20b?x=$(id)";
    QTest::newRow("desktop refuses") << "https://example.com/" << false << OpenResult::kNoAssociation
                                     << "https://example.com/";
    QTest::newRow("mail address") << "mailto:info@example.com" << true << opened << "mailto:info@example.com";
    QTest::newRow("existing file") << existing << true << opened << QUrl::fromLocalFile(existing).toString();
    QTest::newRow("file url") << QUrl::fromLocalFile(existing).toString() << true << opened
                              << QUrl::fromLocalFile(existing).toString();
    QTest::newRow("missing file") << SandboxDir() + "/missing.txt" << true << OpenResult::kFileNotFound << "";
    QTest::newRow("missing folder") << SandboxDir() + "/no/such/file.txt" << true << OpenResult::kPathNotFound << "";
    QTest::newRow("empty") << "" << true << OpenResult::kFileNotFound << "";
    QTest::newRow("shell text") << "x; rm -rf ~" << true << OpenResult::kFileNotFound << "";
  }
  void openDocument() {
    QFETCH(QString, address);
    QFETCH(bool, desktopAccepts);
    QFETCH(OpenResult, result);
    QFETCH(QString, opened);
    WriteText(SandboxDir() + QStringLiteral("/guide.txt"), "guide");
    RecordingServices services;
    services.openUrlResult = desktopAccepts;
    ScopedServices scope(services);
    QCOMPARE(OpenDocument(address), result);
    if (opened.isEmpty()) {
      QVERIFY(services.openedUrls.isEmpty());
    } else {
      QCOMPARE(services.openedUrls.size(), 1);
      QCOMPARE(services.openedUrls.first().toString(QUrl::FullyEncoded), opened);
    }
    QVERIFY(services.launched.isEmpty());
  }

  void theOpenerGetsTheAddressAndJudgesIt_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("ending");  // of the fake xdg-open
    QTest::addColumn<OpenResult>("result");
    QTest::addColumn<QString>("argument");
    const QString file = SandboxDir() + QStringLiteral("/my guide $(id).txt");
    QTest::newRow("file") << file << QByteArray("exit 0") << OpenResult::kOpened << file;
    QTest::newRow("web address") << "https://example.com/a b" << QByteArray("exit 0") << OpenResult::kOpened
                                 << "https://example.com/a%20b";
    QTest::newRow("no handler") << file << QByteArray("exit 3") << OpenResult::kNoAssociation << file;
    // Some handlers run in the opener's place: busy past the wait is opened.
    QTest::newRow("still busy") << "https://example.com/" << QByteArray("sleep 1; exit 3") << OpenResult::kOpened
                                << "https://example.com/";
  }
  void theOpenerGetsTheAddressAndJudgesIt() {
    QFETCH(QString, address);
    QFETCH(QByteArray, ending);
    QFETCH(OpenResult, result);
    QFETCH(QString, argument);
    WriteText(SandboxDir() + QStringLiteral("/my guide $(id).txt"), "guide");
    const QString opener = InstallFakeOpener(ending);
    QVERIFY(!opener.isEmpty());
    RecordingServices services;
    services.realOpenUrl = true;
    services.SetOpenerWait(500);
    ScopedServices scope(services);
    QCOMPARE(OpenDocument(address), result);
    QFile arguments(opener + QStringLiteral(".args"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(arguments.readAll()), argument + QLatin1Char('\n'));
    // An opener left running is let go once it ends, well before the test does.
    if (ending.startsWith("sleep")) QTest::qWait(2000);
  }

  void htmlHandlerGetsTheAddressAsOneArgument() {
    WriteText(DataApps() + "browser.desktop", "[Desktop Entry]\nName=B\nExec=\"/opt/web browser/run\" --new %U\n");
    RecordingServices services;
    services.defaultApplication = QStringLiteral("browser.desktop");
    services.startResult = OpenResult::kBadFormat;
    ScopedServices scope(services);
    for (const QString& address : kHostileAddresses)
      QCOMPARE(OpenWithHtmlHandler(address, OpenResult::kNoAssociation), OpenResult::kBadFormat);
    QCOMPARE(services.queriedTypes.first(), QStringLiteral("text/html"));
    QCOMPARE(services.launched.size(), kHostileAddresses.size());
    for (int i = 0; i < kHostileAddresses.size(); ++i) {
      QCOMPARE(services.launched.at(i),
               (QStringList{QStringLiteral("/opt/web browser/run"), QStringLiteral("--new"), kHostileAddresses.at(i)}));
    }
  }

  void htmlHandlerMissingKeepsTheFirstResult() {
    WriteText(DataApps() + "broken.desktop", "[Desktop Entry]\nExec=\"unterminated %u\n");
    RecordingServices services;
    ScopedServices scope(services);
    services.defaultApplication = QString();
    QCOMPARE(OpenWithHtmlHandler(QStringLiteral("a"), OpenResult::kNoAssociation), OpenResult::kNoAssociation);
    services.defaultApplication = QStringLiteral("gone.desktop");
    QCOMPARE(OpenWithHtmlHandler(QStringLiteral("a"), OpenResult::kFileNotFound), OpenResult::kFileNotFound);
    services.defaultApplication = QStringLiteral("broken.desktop");
    QCOMPARE(OpenWithHtmlHandler(QStringLiteral("a"), OpenResult::kPathNotFound), OpenResult::kPathNotFound);
    QVERIFY(services.launched.isEmpty());
  }

  void programStartFailures_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<std::optional<OpenResult>>("failure");
    const QString dir = SandboxDir();
    const std::optional<OpenResult> none;
    QTest::newRow("empty") << "" << std::optional(OpenResult::kFileNotFound);
    QTest::newRow("not on PATH") << "vell-no-such-program" << std::optional(OpenResult::kFileNotFound);
    QTest::newRow("on PATH") << "sh" << none;
    QTest::newRow("missing file") << dir + "/missing" << std::optional(OpenResult::kFileNotFound);
    QTest::newRow("missing folder") << dir + "/nowhere/run" << std::optional(OpenResult::kPathNotFound);
    QTest::newRow("folder") << dir + "/home" << std::optional(OpenResult::kAccessDenied);
    QTest::newRow("not executable") << dir + "/plain" << std::optional(OpenResult::kAccessDenied);
    QTest::newRow("executable") << dir + "/run" << none;
  }
  void programStartFailures() {
    QFETCH(QString, program);
    QFETCH(std::optional<OpenResult>, failure);
    WriteText(SandboxDir() + QStringLiteral("/plain"), "data");
    WriteText(SandboxDir() + QStringLiteral("/run"), "#!/bin/sh\n");
    QFile(SandboxDir() + QStringLiteral("/run")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(ProgramStartFailure(program) == failure);
  }

  void autostartEntry_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("plain") << "/usr/lib/vell/vell";
    QTest::newRow("blanks") << "/home/a user/My Programs/vell";
    QTest::newRow("shell characters") << "/opt/$(id)/`x`/\"q\"/'s'/a;b&c/vell";
    QTest::newRow("backslash and percent") << "/opt/100%/back\\slash/%u/vell";
  }
  void autostartEntry() {
    QFETCH(QString, target);
    const QString path = AutostartEntryPath(QStringLiteral("Vell"));
    QCOMPARE(path, qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/Vell.desktop"));
    QVERIFY(CreateAutostartEntry(QStringLiteral("Vell"), target, QStringLiteral("Vell")));
    const QMap<QString, QString> keys = ReadKeyFileGroup(path, QStringLiteral("Desktop Entry"));
    QCOMPARE(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Vell"));
    QCOMPARE(keys.value(QStringLiteral("Comment")), QStringLiteral("Vell"));
    DesktopEntry entry;
    QVERIFY(ReadDesktopEntry(path, &entry));
    QStringList arguments;
    QVERIFY(SplitExecLine(entry.exec, &arguments));
    QCOMPARE(arguments.size(), 1);
    // The session starts it without an address: only the program remains.
    QCOMPARE(BuildHandlerCommand(entry, QString()).first(), target);
#ifdef VELL_DESKTOP_FILE_VALIDATE
    QCOMPARE(DesktopFileComplaints(path), QStringList());
#endif
    QVERIFY(DeleteAutostartEntry(QStringLiteral("Vell")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(DeleteAutostartEntry(QStringLiteral("Vell")));
  }

  void autostartFolderBlocked() {
    WriteText(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart"), "a file");
    QVERIFY(!CreateAutostartEntry(QStringLiteral("Vell"), QStringLiteral("/usr/bin/vell"), QStringLiteral("Vell")));
  }

  void programIdentity() {
    QCOMPARE(ApplicationName(), QStringLiteral("platform_test"));
    QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    RecordingServices services;
    ScopedServices scope(services);
    ShowAppMessage(QStringLiteral("Error creating Shortcut"));
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages.first(),
             qMakePair(QStringLiteral("platform_test"), QStringLiteral("Error creating Shortcut")));
  }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "platform_test.moc"
