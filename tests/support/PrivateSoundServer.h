#pragma once

// A private PulseAudio with a null sink, for the tests that play on a real
// sound server and stop, freeze or kill it as a desktop's server may be.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>

#include <sys/types.h>

// A PulseAudio server of the test's own, reached through PULSE_SERVER,
// playing into a sink that goes nowhere but whose monitor can be recorded.
class TPrivateSoundServer
{
public:
    explicit TPrivateSoundServer(const QString &folder)
        : Folder(folder), Socket(folder + QStringLiteral("/native"))
    {
        QDir().mkpath(Folder + QStringLiteral("/home"));
        QDir().mkpath(Folder + QStringLiteral("/run"));
        QFile script(Folder + QStringLiteral("/server.pa"));
        if (script.open(QIODevice::WriteOnly))
            script.write("load-module module-null-sink sink_name=null rate=48000\n"
                         "load-module module-native-protocol-unix auth-anonymous=1 socket=" +
                         QFile::encodeName(Socket) + "\nset-default-sink null\n");
    }
    ~TPrivateSoundServer() { Kill(); }

    static bool Available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty();
    }
    QByteArray Address() const { return "unix:" + QFile::encodeName(Socket); }

    bool Start()
    {
        QProcessEnvironment env = Environment();
        env.insert(QStringLiteral("HOME"), Folder + QStringLiteral("/home"));
        Server.setProcessEnvironment(env);
        Server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Server.setStandardOutputFile(QProcess::nullDevice());
        Server.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                      QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                      QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                      QStringLiteral("-F"), Folder + QStringLiteral("/server.pa")});
        if (!Server.waitForStarted(5000))
            return false;
        // Up to ten seconds for the server to take its first client.
        for (int tries = 0; tries < 100; ++tries) {
            if (Pactl({QStringLiteral("info")}).contains("null"))
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    // As a crash or a restart by the service manager would.
    void Kill()
    {
        if (Server.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(Server.processId()), SIGKILL);
        Server.waitForFinished(5000);
    }
    // A server that hangs, or is swapped out, and then goes on.
    void Freeze() { ::kill(static_cast<pid_t>(Server.processId()), SIGSTOP); }
    void Thaw() { ::kill(static_cast<pid_t>(Server.processId()), SIGCONT); }

    QByteArray Pactl(const QStringList &arguments) const
    {
        return Run(QStringLiteral("pactl"), arguments, 5000);
    }
    QByteArray SinkInputs() const
    {
        return Pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")});
    }
    // The first sink input's number and its level on the left, as the
    // server keeps it (65536 is 100 %); -1 when there is none.
    QString FirstInput() const
    {
        const QByteArray inputs = SinkInputs();
        return QString::fromLatin1(inputs.mid(inputs.indexOf('#') + 1).split('\n').value(0));
    }
    int InputLevel() const
    {
        const QByteArray inputs = SinkInputs();
        const qsizetype at = inputs.indexOf("front-left: ");
        return at < 0 ? -1 : inputs.mid(at + 12).split(' ').value(0).toInt();
    }
    // The largest sample the sink played during about a second.
    int LoudestSample() const
    {
        // parec writes what it records in large blocks, and into a file
        // only: a pipe closed when it is stopped gets nothing.
        const QString path = Folder + QStringLiteral("/monitor.raw");
        QProcess recorder;
        recorder.setProcessEnvironment(Environment());
        recorder.setStandardOutputFile(path);
        recorder.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("null.monitor"),
                        QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--rate=48000"), QStringLiteral("--channels=2"),
                        QStringLiteral("--latency-msec=20")});
        if (!recorder.waitForStarted(5000))
            return 0;
        QThread::msleep(1500);
        recorder.terminate();
        recorder.waitForFinished(2000);
        QFile file(path);
        const QByteArray pcm = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        int loudest = 0;
        const auto *samples = reinterpret_cast<const std::int16_t *>(pcm.constData());
        for (qsizetype i = 0; i < pcm.size() / 2; ++i)
            loudest = std::max(loudest, std::abs(int(samples[i])));
        return loudest;
    }

private:
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), QString::fromLocal8Bit(Address()));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Folder + QStringLiteral("/run"));
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), Folder + QStringLiteral("/run"));
        return env;
    }
    QByteArray Run(const QString &program, const QStringList &arguments, int ms) const
    {
        QProcess client;
        client.setProcessEnvironment(Environment());
        client.start(program, arguments);
        client.waitForFinished(ms);
        return client.readAllStandardOutput();
    }

    QString Folder;
    QString Socket;
    QProcess Server;
};
