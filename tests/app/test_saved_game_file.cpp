// "Ferrox game.sav" as copies of the game share it: each keeps its own game,
// a start takes the newest that fits, a file that cannot be read is moved
// aside, and a copy killed at any moment leaves the old list or the new one.

#include "app/SavedGameFile.h"
#include "model/MineGame.h"
#include "support/FailingWriter.h"
#include "support/LaidBoard.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// A board of its own size is a custom board.
void Custom(TMines &model)
{
    model.Level = LevelCustom;
}

TSavedGame GameOf(quint64 keeper, int seconds,
                  const QStringList &picture = {"1*..", "11..", "...."})
{
    TMineGame game(TMines::TStoreUse::None);
    TLaidBoard::Lay(game, picture, Custom);
    TSavedGame saved = *game.GameUnderWay();
    saved.Keeper = keeper;
    saved.Seconds = seconds;
    return saved;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The keepers and seconds of the file's games, newest first; nothing when
// it cannot be read.
std::optional<QList<std::pair<quint64, int>>> Entries(const QString &folder)
{
    QFile file(SavedGamePath(folder));
    if (!file.open(QIODevice::ReadOnly))
        return QList<std::pair<quint64, int>>();
    const std::optional<QList<TSavedGame>> games = ReadSavedGames(file);
    if (!games)
        return std::nullopt;
    QList<std::pair<quint64, int>> entries;
    for (const TSavedGame &game : *games)
        entries.append({game.Keeper, game.Seconds});
    return entries;
}

using TEntries = QList<std::pair<quint64, int>>;

// Each save flushes to the disk: in memory the rounds keep their races and
// take seconds.
QString FastFolderTemplate()
{
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const bool fast = memory.isDir() && memory.isWritable();
    return (fast ? memory.filePath() : QDir::tempPath()) + QStringLiteral("/ferrox-saved-XXXXXX");
}

QString Writer()
{
    return QStringLiteral(FERROX_SAVED_GAME_WRITER);
}

} // namespace

class SavedGameFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_{FastFolderTemplate()};
    QString Folder() const { return dir_.path(); }

private slots:
    void init()
    {
        for (const QString &name : QDir(Folder()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(Folder()).filePath(name));
    }

    // Newest first; a copy's later save replaces its own entry; ten at most.
    void eachCopyKeepsItsOwnGame()
    {
        QVERIFY(KeepSavedGame(Folder(), GameOf(1, 10)));
        QVERIFY(KeepSavedGame(Folder(), GameOf(2, 20)));
        QVERIFY(KeepSavedGame(Folder(), GameOf(1, 11)));
        QCOMPARE(*Entries(Folder()), (TEntries{{1, 11}, {2, 20}}));
        for (quint64 keeper = 3; keeper <= 12; ++keeper)
            QVERIFY(KeepSavedGame(Folder(), GameOf(keeper, 0)));
        const TEntries entries = *Entries(Folder());
        QCOMPARE(entries.size(), MaxSavedGames);
        QCOMPARE(entries.first().first, 12u);
        QCOMPARE(entries.last().first, 3u);

        QVERIFY(DropSavedGame(Folder(), 12));
        QCOMPARE(Entries(Folder())->size(), MaxSavedGames - 1);
        for (quint64 keeper = 3; keeper <= 11; ++keeper)
            QVERIFY(DropSavedGame(Folder(), keeper));
        // The last entry gone, nothing is left behind, lock file included.
        QVERIFY(QDir(Folder()).isEmpty());
    }

    // A start takes the newest game that fits its screen out of the file;
    // the others stay for the next starts.
    void startTakesTheNewestThatFits()
    {
        QVERIFY(TakeSavedGame(Folder(), {56, 36}).Game == std::nullopt);
        QVERIFY(QDir(Folder()).isEmpty());
        const QStringList wide = {QString(40, '.') + "1*", QString(40, '.') + "11"};
        QVERIFY(KeepSavedGame(Folder(), GameOf(1, 1)));
        QVERIFY(KeepSavedGame(Folder(), GameOf(2, 2)));
        QVERIFY(KeepSavedGame(Folder(), GameOf(3, 3, wide)));
        TTakenGame taken = TakeSavedGame(Folder(), {30, 20});
        QVERIFY(!taken.Unreadable);
        QCOMPARE(taken.Game->Keeper, 2u);
        QCOMPARE(*Entries(Folder()), (TEntries{{3, 3}, {1, 1}}));
        taken = TakeSavedGame(Folder(), {56, 36});
        QCOMPARE(taken.Game->Keeper, 3u);
        QCOMPARE(TakeSavedGame(Folder(), {56, 36}).Game->Keeper, 1u);
        QVERIFY(QDir(Folder()).isEmpty());
    }

    // Damaged, or only boards too large for this screen: moved aside over
    // an older one, said so, and a new game starts.  A save moves it too.
    void unreadableFileIsMovedAside()
    {
        const QString bad = QDir(Folder()).filePath(QString::fromLatin1(BadSavedGameFileName));
        QVERIFY(WriteAll(bad, "older"));
        QVERIFY(WriteAll(SavedGamePath(Folder()), "damaged"));
        TTakenGame taken = TakeSavedGame(Folder(), {56, 36});
        QVERIFY(taken.Unreadable);
        QVERIFY(!taken.Game);
        QCOMPARE(ReadAll(bad), QByteArray("damaged"));
        QVERIFY(!QFileInfo::exists(SavedGamePath(Folder())));

        QVERIFY(KeepSavedGame(Folder(), GameOf(1, 1)));
        QVERIFY(TakeSavedGame(Folder(), {3, 3}).Unreadable);
        QFile moved(bad);
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(ReadSavedGames(moved)->first().Keeper, 1u);

        QVERIFY(WriteAll(SavedGamePath(Folder()), "damaged again"));
        QVERIFY(KeepSavedGame(Folder(), GameOf(2, 2)));
        QCOMPARE(ReadAll(bad), QByteArray("damaged again"));
        QCOMPARE(*Entries(Folder()), (TEntries{{2, 2}}));

        // A folder in the file's place is nobody's saved game to move.
        QVERIFY(QFile::remove(SavedGamePath(Folder())));
        QVERIFY(QDir(Folder()).mkdir(QString::fromLatin1(SavedGameFileName)));
        QVERIFY(TakeSavedGame(Folder(), {56, 36}).Unreadable);
        QVERIFY(QFileInfo(SavedGamePath(Folder())).isDir());
        QVERIFY(!KeepSavedGame(Folder(), GameOf(3, 3)));
        QVERIFY(QDir(Folder()).rmdir(QString::fromLatin1(SavedGameFileName)));
    }

    // A write that fails part way (a full disk) leaves the list as it was.
    void failedSaveLeavesTheOldList()
    {
        QVERIFY(KeepSavedGame(Folder(), GameOf(1, 1)));
        const QByteArray before = ReadAll(SavedGamePath(Folder()));
        for (qint64 limit : {0, 1, 40, 90}) {
            const TWriteDeviceFactory failing = [limit](QIODevice &file) {
                return std::make_unique<TFailingWriter>(file, limit);
            };
            QVERIFY(!KeepSavedGame(Folder(), GameOf(2, 2), failing));
            QCOMPARE(ReadAll(SavedGamePath(Folder())), before);
        }
        QCOMPARE(QDir(Folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QString::fromLatin1(SavedGameFileName)});
    }

    // Copies saving at once and copies killed while they save: the file is
    // always whole, every copy's entry is there with one of its own saves,
    // never older than the last it reported.
    void copiesSavingAndKilledKeepTheirGames()
    {
        QVERIFY(KeepSavedGame(Folder(), GameOf(99, 99)));
        QRandomGenerator random(7);
        bool keptOnce = false;
        for (int round = 0; round < 60; ++round) {
            QProcess killed;
            killed.start(Writer(), {"keep", Folder(), "1", "1000"});
            QVERIFY(killed.waitForStarted());
            QTest::qWait(int(random.bounded(2, 40)));
            killed.kill();
            QVERIFY(killed.waitForFinished());
            keptOnce = keptOnce || killed.readAllStandardOutput().contains("kept ");
            const std::optional<TEntries> entries = Entries(Folder());
            QVERIFY2(entries, "the file was left unreadable");
            QVERIFY(entries->contains(std::pair<quint64, int>{99, 99}));
            QCOMPARE(entries->size(), keptOnce ? 2 : entries->size());
            QVERIFY(entries->size() <= 2);
        }
        QVERIFY(keptOnce);

        QProcess a;
        QProcess b;
        a.start(Writer(), {"keep", Folder(), "1", "30"});
        b.start(Writer(), {"keep", Folder(), "2", "30"});
        QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
        QVERIFY(!a.readAllStandardOutput().contains("failed"));
        QVERIFY(!b.readAllStandardOutput().contains("failed"));
        const TEntries entries = *Entries(Folder());
        QCOMPARE(entries.size(), 3);
        QVERIFY(entries.contains(std::pair<quint64, int>{1, 29}));
        QVERIFY(entries.contains(std::pair<quint64, int>{2, 29}));

        // Two starts at once never resume the same game.
        QProcess first;
        QProcess second;
        first.start(Writer(), {"take", Folder()});
        second.start(Writer(), {"take", Folder()});
        QVERIFY(first.waitForFinished() && second.waitForFinished());
        const QByteArray one = first.readAllStandardOutput();
        const QByteArray two = second.readAllStandardOutput();
        QVERIFY2(one.startsWith("took ") && two.startsWith("took ") && one != two,
                 (one + two).constData());
        QCOMPARE(Entries(Folder())->size(), 1);
    }
};

QTEST_GUILESS_MAIN(SavedGameFileTest)
#include "test_saved_game_file.moc"
