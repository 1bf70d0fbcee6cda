// The game as `cmake --install` lays it out for a Linux desktop: every file
// in its place, the menu entry and the software-centre description passed
// by the desktop's own checkers, and the installed game starting up in the
// folder it should, from the menu as from a terminal.  With FERROX_PACKAGE naming a
// Debian package, the same checks run on the package's files, unpacked into a
// scratch root, and on its dependencies (tools/setup check).
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <csignal>

namespace
{

const QString AppId = QStringLiteral(FERROX_APP_ID);

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs a checker to its end; its exit code and everything it printed.
struct TRun {
    int ExitCode = -1;
    QString Output;
};

TRun RunToEnd(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    TRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Output = QString::fromLocal8Bit(process.readAll());
    return run;
}

// The environment of a desktop session without a screen or a sound card,
// with a home of its own so the test never touches the real settings.
QProcessEnvironment SessionEnvironment(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("SDL_AUDIODRIVER", "dummy");
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    environment.remove("XDG_DATA_HOME");
    environment.remove("FERROX_DATA_DIR");
    return environment;
}

// The command of a menu entry's Exec line: one quoted argument, unescaped by
// the entry's string rules and then by its quoting rules.
QString ExecCommand(const QByteArray &entry)
{
    const QRegularExpression line(QStringLiteral("^Exec=(.*)$"),
                                  QRegularExpression::MultilineOption);
    QString value = line.match(QString::fromUtf8(entry)).captured(1);
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"'))
        return QString();
    value = value.mid(1, value.size() - 2);
    static const QRegularExpression escaped(QStringLiteral("\\\\([\\\\\"`$])"));
    value.replace(escaped, QStringLiteral("\\1"));
    return value.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// A started program that is stopped with SIGTERM when the test leaves.
class TRunningProgram
{
public:
    TRunningProgram(const QString &program, const QStringList &arguments,
                    const QString &workingFolder, const QProcessEnvironment &environment)
    {
        Process.setProgram(program);
        Process.setArguments(arguments);
        Process.setWorkingDirectory(workingFolder);
        Process.setProcessEnvironment(environment);
        Process.setProcessChannelMode(QProcess::ForwardedChannels);
        Process.start();
    }
    ~TRunningProgram() { Stop(); }
    TRunningProgram(const TRunningProgram &) = delete;
    TRunningProgram &operator=(const TRunningProgram &) = delete;

    // True when it started and was still running after the given time.
    bool StaysUp(int milliseconds)
    {
        if (!Process.waitForStarted(10000))
            return false;
        Process.waitForFinished(milliseconds);
        return Process.state() == QProcess::Running;
    }

    // The libraries mapped into the running process whose file names
    // contain `part`, as /proc lists them.
    QStringList MappedFiles(const QString &part) const
    {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(Process.processId()));
        QStringList files;
        if (!maps.open(QIODevice::ReadOnly))
            return files;
        for (const QByteArray &line : maps.readAll().split('\n')) {
            const int slash = line.indexOf('/');
            const QString file = slash < 0 ? QString() : QString::fromLocal8Bit(line.mid(slash));
            if (file.contains(part) && !files.contains(file))
                files << file;
        }
        return files;
    }

    // What /proc says of the running process: its folder or its program.
    QString Link(const char *name) const
    {
        return QFileInfo(QStringLiteral("/proc/%1/%2").arg(Process.processId()).arg(name))
            .symLinkTarget();
    }

    // True once the process has its own SIGTERM handler in place, as /proc
    // shows it; a slow start on a busy machine is waited for, not guessed.
    bool CatchesSigterm(int timeoutMs = 20000)
    {
        QElapsedTimer clock;
        clock.start();
        const QString status = QStringLiteral("/proc/%1/status").arg(Process.processId());
        while (clock.elapsed() < timeoutMs && Process.state() == QProcess::Running) {
            QFile file(status);
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray &line : file.readAll().split('\n'))
                    if (line.startsWith("SigCgt:") &&
                        (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1)
                        return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    // True when it ended within a few seconds of SIGTERM.
    bool Stop()
    {
        if (Process.state() == QProcess::NotRunning)
            return true;
        Process.terminate();
        if (Process.waitForFinished(10000))
            return true;
        Process.kill();
        Process.waitForFinished(5000);
        return false;
    }

    // True when it returned from main with 0 rather than being killed.
    bool ExitedCleanly() const
    {
        return Process.state() == QProcess::NotRunning &&
               Process.exitStatus() == QProcess::NormalExit && Process.exitCode() == 0;
    }
    QByteArray HowItEnded() const
    {
        return QStringLiteral("state %1, %2 exit, code %3")
            .arg(Process.state())
            .arg(Process.exitStatus() == QProcess::NormalExit ? "normal" : "crash")
            .arg(Process.exitCode())
            .toUtf8();
    }

private:
    QProcess Process;
};

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir Root;
    const QString Package = qEnvironmentVariable("FERROX_PACKAGE");
    // Where the files are, and where the system would have them: the same
    // folder for `cmake --install`, /usr in the scratch root for the package.
    QString Prefix;
    QString SystemPrefix;
    // A system install puts the programs where Debian puts a game's.
    QString ProgramDir = QStringLiteral("bin");

    QString Installed(const QString &relative) const { return Prefix + '/' + relative; }
    QString Program() const { return Installed(ProgramDir + "/ferrox"); }
    QString SoundModule() const { return Installed(QStringLiteral(FERROX_SOUND_MODULE)); }
    QString DesktopEntry() const { return Installed("share/applications/" + AppId + ".desktop"); }
    QString Metainfo() const { return Installed("share/metainfo/" + AppId + ".metainfo.xml"); }

private slots:
    void initTestCase()
    {
        QVERIFY(Root.isValid());
        const TRun run =
            Package.isEmpty()
                ? RunToEnd(QStringLiteral(FERROX_CMAKE_COMMAND),
                           {"--install", FERROX_BUILD_DIR, "--prefix", Root.path()})
                : RunToEnd(QStringLiteral("dpkg-deb"), {"--extract", Package, Root.path()});
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Output));
        SystemPrefix = Package.isEmpty() ? Root.path() : QStringLiteral("/usr");
        Prefix = Package.isEmpty() ? Root.path() : Root.path() + SystemPrefix;
        if (!Package.isEmpty())
            ProgramDir = QStringLiteral(FERROX_SYSTEM_PROGRAM_DIR);
    }

    void everyFileIsInItsPlace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("executable");
        QTest::newRow("game") << ProgramDir + "/ferrox" << true;
        QTest::newRow("menu entry") << "share/applications/" + AppId + ".desktop" << false;
        QTest::newRow("description") << "share/metainfo/" + AppId + ".metainfo.xml" << false;
        QTest::newRow("scalable icon")
            << "share/icons/hicolor/scalable/apps/" + AppId + ".svg" << false;
        QTest::newRow("tune") << "share/ferrox/Ferrox.MOD" << false;
        QTest::newRow("play list") << "share/ferrox/Ferrox.M3U" << false;
        QTest::newRow("our terms") << "share/doc/ferrox/Ferrox.txt" << false;
        QTest::newRow("libopenmpt's licence") << "share/doc/ferrox/libopenmpt.txt" << false;
        QTest::newRow("SDL's licence") << "share/doc/ferrox/SDL2.txt" << false;
        QTest::newRow("Qt's licence") << "share/doc/ferrox/Qt.txt" << false;
        QTest::newRow("music note") << "share/doc/ferrox/Music.txt" << false;
    }

    void everyFileIsInItsPlace()
    {
        QFETCH(QString, file);
        QFETCH(bool, executable);
        const QFileInfo info(Installed(file));
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
        QCOMPARE(info.isExecutable(), executable);
    }

    void iconsHaveTheirThemeSizes_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }

    void iconsHaveTheirThemeSizes()
    {
        QFETCH(int, size);
        const QImage icon(Installed(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId)));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    void musicIsTheGamesOwn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("tune") << "Ferrox.MOD";
        QTest::newRow("play list") << "Ferrox.M3U";
    }

    void musicIsTheGamesOwn()
    {
        QFETCH(QString, name);
        const QByteArray installed = ReadAll(Installed("share/ferrox/" + name));
        QVERIFY(!installed.isEmpty());
        QCOMPARE(installed, ReadAll(QStringLiteral(FERROX_RESOURCES_DIR "/") + name));
    }

    void desktopCheckersAcceptTheFiles_data()
    {
        QTest::addColumn<QString>("checker");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("menu entry") << "desktop-file-validate" << QStringList() << DesktopEntry();
        QTest::newRow("description")
            << "appstreamcli" << QStringList{"validate", "--no-net"} << Metainfo();
    }

    void desktopCheckersAcceptTheFiles()
    {
        QFETCH(QString, checker);
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const QString program = QStandardPaths::findExecutable(checker);
        if (program.isEmpty())
            QSKIP(qPrintable(checker + " is not installed (tools/setup installs it)."));
        const TRun run = RunToEnd(program, arguments << file);
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Output));
        // Warnings fail too: only notes and hints may be printed.
        static const QRegularExpression complaint(QStringLiteral("(^|\\n)(E|W):|error|warning"));
        QVERIFY2(!run.Output.contains(complaint), qPrintable(run.Output));
    }

    void menuEntryStartsTheInstalledGame()
    {
        const QByteArray entry = ReadAll(DesktopEntry());
        QCOMPARE(ExecCommand(entry), SystemPrefix + '/' + ProgramDir + "/ferrox");
        QVERIFY(entry.contains("\nIcon=" + AppId.toUtf8() + "\n"));
        QVERIFY(entry.contains("\nCategories=Game;LogicGame;\n"));
    }

    void descriptionNamesThisRelease()
    {
        const QString metainfo = QString::fromUtf8(ReadAll(Metainfo()));
        QVERIFY(metainfo.contains("<id>" + AppId + "</id>"));
        QVERIFY(metainfo.contains("<launchable type=\"desktop-id\">" + AppId + ".desktop<"));
        // The newest release comes first and is the version being built.
        static const QRegularExpression release(
            QStringLiteral("<release version=\"([^\"]+)\" date=\"\\d{4}-\\d\\d-\\d\\d\""));
        QCOMPARE(release.match(metainfo).captured(1), QStringLiteral(FERROX_VERSION));
        // A picture comes from a real address, never a made-up one.
        static const QRegularExpression image(QStringLiteral("<image>([^<]*)</image>"));
        for (auto found = image.globalMatch(metainfo); found.hasNext();) {
            const QUrl address(found.next().captured(1));
            QCOMPARE(address.scheme(), QStringLiteral("https"));
            QVERIFY2(!address.host().contains(QStringLiteral("example")),
                     qPrintable(address.toString()));
        }
    }

    // The game loads libopenmpt and SDL only through its sound module, which
    // the package's dependencies must cover all the same.
    void packageDependsOnTheSoundLibraries()
    {
        if (Package.isEmpty())
            QSKIP("Only a package has dependencies (set FERROX_PACKAGE).");
        const TRun run = RunToEnd(QStringLiteral("dpkg-deb"), {"--field", Package, "Depends"});
        QCOMPARE(run.ExitCode, 0);
        for (const char *library : {"libopenmpt0 ", "libsdl2-2.0-0 "})
            QVERIFY2(run.Output.contains(library), qPrintable(run.Output));
    }

    // A session that ends sends SIGTERM; the game quits as if closed and
    // writes its settings on the way out.  Told to play in a folder of the
    // player's own, it plays there and copies nothing into it.
    void installedGameStartsAndQuitsOnSigterm()
    {
        QTemporaryDir home, work, elsewhere;
        TRunningProgram game(Program(), {"--folder", work.path()}, elsewhere.path(),
                             SessionEnvironment(home.path()));
        QVERIFY2(game.StaysUp(1500), "the installed game did not keep running");
        QCOMPARE(game.Link("cwd"), work.path());
        QVERIFY(game.CatchesSigterm());
        QVERIFY(game.Stop());
        QVERIFY2(game.ExitedCleanly(), game.HowItEnded().constData());
        QVERIFY(QFileInfo(home.filePath("config/Olvane/Ferrox.conf")).isFile());
        QVERIFY(QDir(work.path()).isEmpty());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    // The sound libraries are loaded only for music, from the module
    // installed beside the game.
    void installedGameLoadsItsSoundOnlyForMusic_data()
    {
        QTest::addColumn<bool>("musicOn");
        QTest::newRow("music off") << false;
        QTest::newRow("music on") << true;
    }

    void installedGameLoadsItsSoundOnlyForMusic()
    {
        QFETCH(bool, musicOn);
        // Whether a library is installed executable differs between systems.
        QVERIFY2(QFileInfo(SoundModule()).isFile(), qPrintable(SoundModule()));
        QTemporaryDir home, elsewhere;
        QVERIFY(WriteAll(home.filePath("config/Olvane/Ferrox.conf"),
                         musicOn ? "[General]\nMUSIC=1\n" : "[General]\nMUSIC=0\n"));
        TRunningProgram game(Program(), {}, elsewhere.path(), SessionEnvironment(home.path()));
        QVERIFY2(game.StaysUp(1500), "the installed game did not keep running");
        QVERIFY(game.CatchesSigterm());
        const QStringList expected =
            musicOn ? QStringList{QFileInfo(SoundModule()).canonicalFilePath()} : QStringList();
        // The signal handler comes before the window, and music with it.
        QTRY_COMPARE_WITH_TIMEOUT(game.MappedFiles("ferrox_sound"), expected, 10000);
        QCOMPARE(!game.MappedFiles("libopenmpt").isEmpty(), musicOn);
        QCOMPARE(!game.MappedFiles("libSDL2").isEmpty(), musicOn);
        QVERIFY(game.Stop());
        QVERIFY2(game.ExitedCleanly(), game.HowItEnded().constData());
        // Music that could not be started would have been switched off.
        QVERIFY(ReadAll(home.filePath("config/Olvane/Ferrox.conf"))
                    .contains(musicOn ? "MUSIC=1" : "MUSIC=0"));
    }

    // `ferrox` typed in a terminal, found on PATH, plays where the menu
    // entry does: in the play folder, which the first start sets up, and
    // never in the folder it was typed in.  What the play folder holds after
    // the first start when the player already had some files there.
    void typedCommandPlaysInThePlayFolder_data()
    {
        QTest::addColumn<QString>("dataHome");   // relative to the test's home; "" = unset
        QTest::addColumn<QString>("playFolder"); // relative to the test's home
        QTest::addColumn<QStringList>("playersFiles");
        QTest::newRow("first start") << ""
                                     << ".local/share/Ferrox" << QStringList();
        QTest::newRow("XDG_DATA_HOME") << "/data"
                                       << "data/Ferrox" << QStringList();
        QTest::newRow("relative XDG_DATA_HOME ignored") << "data"
                                                        << ".local/share/Ferrox" << QStringList();
        QTest::newRow("player's play list kept")
            << ""
            << ".local/share/Ferrox" << QStringList{"Ferrox.M3U"};
        QTest::newRow("player's unreadable play list kept")
            << ""
            << ".local/share/Ferrox" << QStringList{"Ferrox.M3U/"};
        QTest::newRow("player's files kept")
            << ""
            << ".local/share/Ferrox"
            << QStringList{"Ferrox.M3U", "Ferrox.MOD", "Ferrox for Windows.hi"};
    }

    void typedCommandPlaysInThePlayFolder()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, playFolder);
        QFETCH(QStringList, playersFiles);
        QTemporaryDir home, elsewhere;
        const QDir play(home.filePath(playFolder));
        // A name ending in a slash is a folder: a file the game cannot read,
        // so it starts with an error box open.
        for (const QString &name : playersFiles)
            QVERIFY(name.endsWith('/')
                        ? QDir().mkpath(play.filePath(name))
                        : WriteAll(play.filePath(name), "the player's own " + name.toUtf8()));
        QProcessEnvironment environment = SessionEnvironment(home.path());
        if (!dataHome.isEmpty())
            environment.insert("XDG_DATA_HOME",
                               dataHome.startsWith('/') ? home.path() + dataHome : dataHome);

        environment.insert("PATH", Installed(ProgramDir) + ':' + environment.value("PATH"));
        TRunningProgram game(QStringLiteral("/bin/sh"), {"-c", "exec ferrox"}, elsewhere.path(),
                             environment);
        QVERIFY2(game.StaysUp(1500), "the game typed as ferrox did not keep running");
        QCOMPARE(game.Link("exe"), QFileInfo(Program()).canonicalFilePath());
        QCOMPARE(game.Link("cwd"), play.canonicalPath());
        for (const QString name : {"Ferrox.M3U", "Ferrox.MOD"}) {
            if (playersFiles.contains(name + '/')) {
                QVERIFY(QFileInfo(play.filePath(name)).isDir());
                continue;
            }
            const QByteArray expected = playersFiles.contains(name)
                                            ? "the player's own " + name.toUtf8()
                                            : ReadAll(Installed("share/ferrox/" + name));
            QCOMPARE(ReadAll(play.filePath(name)), expected);
        }
        QVERIFY(game.CatchesSigterm());
        QVERIFY(game.Stop());
        QVERIFY2(game.ExitedCleanly(), game.HowItEnded().constData());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
