// The tune the game comes with: read and played like any module the player
// adds, long enough to play through a game, and music rather than noise.
#include "MusicTestSupport.h"
#include "music/Music.h"
#include "support/MessageRecorder.h"

#include <libopenmpt/libopenmpt.hpp>

#include <QBuffer>
#include <QTest>

#include <cmath>
#include <sstream>

namespace
{

const QByteArray Title = "Ferrox - Cold Iron";

QString Resource(const QString &name)
{
    return QStringLiteral(FERROX_RESOURCES_DIR "/") + name;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Loudness of one stretch of interleaved 16-bit stereo, 0..1.
double Rms(const qint16 *samples, qsizetype count)
{
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count == 0 ? 0 : std::sqrt(sum / count) / 32768.0;
}

} // namespace

class TestOwnMusic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        UseDiskDriverUnlessSet();
        QVERIFY2(QFileInfo(Resource("Ferrox.MOD")).isFile(), "resources/Ferrox.MOD is missing");
    }

    // Read from its file by a play-list entry, and from its bytes.
    void titleReadsLikeAnyModule()
    {
        TSoundModule sound;
        TPlayListItem item;
        item.FileName = QFile::encodeName(Resource("Ferrox.MOD"));
        QVERIFY(item.ReadTitle(sound));
        QCOMPARE(item.Title, Title);

        QByteArray bytes = ReadAll(Resource("Ferrox.MOD"));
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        bool ok = false;
        QCOMPARE(ReadModuleTitle("Ferrox.MOD", buffer, &ok), Title);
        QVERIFY(ok);
    }

    void playListNamesTheTune()
    {
        QCOMPARE(ReadAll(Resource("Ferrox.M3U")), QByteArray("Ferrox.MOD\r\n"));
        MessageRecorder boxes;
        TSoundModule sound;
        TPlayList list;
        QVERIFY(list.LoadFromFile(Resource("Ferrox.M3U"), sound));
        QCOMPARE(list.Count(), 1);
        QCOMPARE(list.Items(0).FileName, QByteArray("Ferrox.MOD"));
        QCOMPARE(list.Items(0).Title, Title);
        QVERIFY(boxes.boxes.isEmpty());
    }

    void isAFourChannelProTrackerSongOfAMinuteOrMore()
    {
        const QByteArray bytes = ReadAll(Resource("Ferrox.MOD"));
        QCOMPARE(bytes.mid(1080, 4), QByteArray("M.K."));
        std::ostringstream log;
        openmpt::module module(bytes.constData(), static_cast<std::size_t>(bytes.size()), log);
        QCOMPARE(module.get_num_channels(), 4);
        QCOMPARE(QByteArray::fromStdString(module.get_metadata("type")), QByteArray("mod"));
        QCOMPARE(QByteArray::fromStdString(module.get_metadata("title")), Title);
        QVERIFY2(module.get_duration_seconds() >= 60,
                 qPrintable(QString::number(module.get_duration_seconds())));
        QVERIFY2(log.str().empty(), log.str().c_str());
    }

    // Played by the game's player from a play list, the way the game starts
    // it: sound from the first second, none of it lost to silence, and the
    // loudness rising and falling with the beat instead of a steady hiss.
    void playsAsMusicThroughThePlayer()
    {
        TTestFolder folder;
        QVERIFY(folder.Write("Ferrox.MOD", ReadAll(Resource("Ferrox.MOD"))));
        QVERIFY(folder.Write("Ferrox.M3U", ReadAll(Resource("Ferrox.M3U"))));
        MessageRecorder boxes;
        TMusic music(folder.Sound, folder.Store);
        TPlayList list;
        QVERIFY(list.LoadFromFile("Ferrox.M3U", folder.Sound));
        music.ReplaceList(list, -1);
        QVERIFY(PlayHeard(music));
        QVERIFY(WaitForDevice(music));
        QCOMPARE(music.PlayingTitle(), QString::fromLatin1(Title));
        const int rate = music.Sound().OpenMixRate();
        QVERIFY(rate > 0);
        const std::uint64_t start = music.Sound().MixedFrames();
        const int seconds = 8;
        QVERIFY(WaitUntil(
            [&] { return music.Sound().MixedFrames() >= start + std::uint64_t(seconds) * rate; }));
        music.Stop(true);
        folder.Sound.FinishDeviceWork();
        QVERIFY(boxes.boxes.isEmpty());

        const QByteArray raw = folder.Read("audio.raw");
        const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
        const qsizetype count = raw.size() / 2;
        // The device ran, silent, before the module was loaded, and the
        // music reaches it a buffer or two after Play returned.
        qsizetype first = qsizetype(start) * 2;
        const qsizetype latest = first + qsizetype(rate) * 2;
        while (first < latest && first < count && std::abs(samples[first]) < 64)
            ++first;
        QVERIFY2(first < latest, "no sound within a second of starting");
        QVERIFY(count >= first + qsizetype(seconds - 1) * rate * 2);
        const qsizetype halfSecond = rate; // stereo samples
        const qsizetype beat = rate / 10;  // a twentieth of a second, stereo
        double quietest = 1, loudest = 0, quietestBeat = 1, loudestBeat = 0;
        for (qsizetype at = first; at + halfSecond <= first + qsizetype(seconds - 1) * rate * 2;
             at += halfSecond) {
            const double level = Rms(samples + at, halfSecond);
            quietest = qMin(quietest, level);
            loudest = qMax(loudest, level);
            for (qsizetype part = at; part + beat <= at + halfSecond; part += beat) {
                quietestBeat = qMin(quietestBeat, Rms(samples + part, beat));
                loudestBeat = qMax(loudestBeat, Rms(samples + part, beat));
            }
        }
        QVERIFY2(quietest > 0.02, qPrintable(QString::number(quietest)));
        QVERIFY2(loudest < 0.5, qPrintable(QString::number(loudest)));
        QVERIFY2(loudestBeat > 2 * quietestBeat,
                 qPrintable(QString("%1 %2").arg(quietestBeat).arg(loudestBeat)));
    }
};

QTEST_GUILESS_MAIN(TestOwnMusic)
#include "test_own_music.moc"
