// The program's layers, read from its sources: every folder's CMakeLists.txt
// says which library each file belongs to, and no file includes a header of
// a library above its own.  The sound module stands beside the base: it
// includes nothing of the game, and only the player's sound wrapper includes
// it.  The libraries with no display include no widget header, and every
// header says in its first comment what it holds.  A library is named after
// its folder, so that a name in a link line or a build log leads to its
// files, and every test's source is named test_*.cpp.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

namespace
{

const QString SourceDir = QStringLiteral(FERROX_SOURCE_DIR);
const QStringList Folders = {"base",  "sound",    "model",   "records",    "music",
                             "mpris", "controls", "dialogs", "mainwindow", "app"};

// The player's way to the sound module: the only files outside sound/ that
// include from it.
const QStringList SoundWrapper = {"music/ModuleAudio.h", "music/ModuleAudio.cpp",
                                  "music/AudioSetup.cpp", "music/SoundModule.cpp"};

// Lower numbers are lower layers; a library may use its own layer and those below.
int LayerOf(const QString &library)
{
    static const QHash<QString, int> layers = {
        {"ferrox_base", 0},
        {"ferrox_sound_engine", 0},
        {"ferrox_sound", 0},
        {"ferrox_model", 1},
        {"ferrox_records", 2},
        {"ferrox_music", 3},
        {"ferrox_mpris", 4},
        {"ferrox_controls", 5},
        {"ferrox_records_windows", 6},
        {"ferrox_music_windows", 6},
        {"ferrox_dialogs", 6},
        {"ferrox_mainwindow", 7},
        {"ferrox_app", 8},
        {"ferrox", 8},
    };
    return layers.value(library, -1);
}
constexpr int LastCoreLayer = 4;

QString ReadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// "folder/File.h" -> library, from each folder's add_library lines, whatever
// the kind of library, and add_executable lines (the program itself).
QHash<QString, QString> LibraryOfFiles()
{
    QHash<QString, QString> owner;
    static const QRegularExpression library(
        QStringLiteral("add_(?:library|executable)\\(\\s*(\\w+)\\s+(?:(?:STATIC|SHARED|MODULE|"
                       "OBJECT)\\s)?([^)]*)\\)"));
    for (const QString &folder : Folders) {
        const QString text = ReadText(SourceDir + "/" + folder + "/CMakeLists.txt");
        for (const auto &match : library.globalMatch(text)) {
            for (const QString &word :
                 match.captured(2).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
                if (word.endsWith(".h") || word.endsWith(".cpp"))
                    owner.insert(folder + "/" + word, match.captured(1));
        }
    }
    return owner;
}

QStringList SourcesIn(const QString &folder)
{
    return QDir(SourceDir + "/" + folder)
        .entryList({QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDir::Name);
}

QStringList QuotedIncludes(const QString &text)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QStringList names;
    for (const auto &match : include.globalMatch(text))
        names << match.captured(1);
    return names;
}

} // namespace

class LayeringTest : public QObject
{
    Q_OBJECT

private slots:
    void everySourceBelongsToALibrary()
    {
        const QHash<QString, QString> owner = LibraryOfFiles();
        for (const QString &folder : Folders)
            for (const QString &name : SourcesIn(folder)) {
                const QString file = folder + "/" + name;
                QVERIFY2(owner.contains(file), qPrintable(file + " is in no library"));
                QVERIFY2(LayerOf(owner.value(file)) >= 0,
                         qPrintable(owner.value(file) + " has no layer"));
            }
    }

    void noFileIncludesALayerAboveItsOwn()
    {
        const QHash<QString, QString> owner = LibraryOfFiles();
        QHash<QString, int> layer;
        for (auto it = owner.cbegin(); it != owner.cend(); ++it)
            layer.insert(it.key(), LayerOf(it.value()));

        for (auto it = layer.cbegin(); it != layer.cend(); ++it) {
            const QString text = ReadText(SourceDir + "/" + it.key());
            QVERIFY2(!text.isEmpty(), qPrintable(it.key()));
            for (const QString &included : QuotedIncludes(text)) {
                if (!layer.contains(included))
                    continue; // generated files, test helpers
                QVERIFY2(layer.value(included) <= it.value(),
                         qPrintable(it.key() + " includes " + included + ", a layer above"));
            }
        }
    }

    void onlyTheSoundWrapperIncludesTheSoundModule()
    {
        const QHash<QString, QString> owner = LibraryOfFiles();
        const QStringList files = owner.keys();
        for (const QString &file : files) {
            const bool inSound = file.startsWith(QLatin1String("sound/"));
            for (const QString &included : QuotedIncludes(ReadText(SourceDir + "/" + file))) {
                if (inSound) {
                    QVERIFY2(included.startsWith(QLatin1String("sound/")) ||
                                 included.startsWith(QLatin1String("base/")),
                             qPrintable(file + " includes " + included + ", above the base"));
                } else if (included.startsWith(QLatin1String("sound/"))) {
                    QVERIFY2(SoundWrapper.contains(file),
                             qPrintable(file + " includes " + included +
                                        "; only the player's sound wrapper may"));
                }
            }
        }
    }

    void theCoreLibrariesIncludeNoWidget()
    {
        static const QRegularExpression widgetHeader(
            QStringLiteral("^\\s*#\\s*include\\s*<(QtWidgets/\\w+|QWidget|QDialog|QApplication|"
                           "QMainWindow|QLabel|QPushButton|QMessageBox|QFileDialog|QLineEdit|"
                           "QSpinBox|QSlider|QComboBox|QListWidget|QMenu|QMenuBar|QStatusBar|"
                           "QStyle|QFrame)>"),
            QRegularExpression::MultilineOption);
        const QHash<QString, QString> owner = LibraryOfFiles();
        for (auto it = owner.cbegin(); it != owner.cend(); ++it) {
            if (LayerOf(it.value()) > LastCoreLayer)
                continue;
            const QRegularExpressionMatch found =
                widgetHeader.match(ReadText(SourceDir + "/" + it.key()));
            QVERIFY2(!found.hasMatch(), qPrintable(it.key() + " includes " + found.captured(1)));
        }
    }

    void everyLibraryIsNamedAfterItsFolder()
    {
        const QHash<QString, QString> owner = LibraryOfFiles();
        for (auto it = owner.cbegin(); it != owner.cend(); ++it) {
            const QString stem = "ferrox_" + it.key().section('/', 0, 0);
            // The program itself is named as it is typed.
            const bool program = it.key() == QLatin1String("app/Ferrox.cpp");
            QVERIFY2(program ? it.value() == "ferrox"
                             : it.value() == stem || it.value().startsWith(stem + "_"),
                     qPrintable(it.value() + " holds " + it.key()));
        }
    }

    void everyTestFileIsNamedLikeTheOthers()
    {
        static const QRegularExpression test(
            QStringLiteral("ferrox_add_test\\(\\s*NAME\\s+\\w+\\s+SOURCES\\s+(\\S+)"));
        const QStringList folders =
            QDir(SourceDir + "/tests").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        int found = 0;
        for (const QString &folder : folders) {
            const QString text = ReadText(SourceDir + "/tests/" + folder + "/CMakeLists.txt");
            for (const auto &match : test.globalMatch(text)) {
                QVERIFY2(match.captured(1).startsWith(QLatin1String("test_")),
                         qPrintable("tests/" + folder + "/" + match.captured(1)));
                ++found;
            }
        }
        QVERIFY(found > 0);
    }

    void everyHeaderSaysWhatItHolds()
    {
        for (const QString &folder : Folders)
            for (const QString &name : SourcesIn(folder)) {
                if (!name.endsWith(".h"))
                    continue;
                QStringList lines = ReadText(SourceDir + "/" + folder + "/" + name).split('\n');
                lines.removeAll(QString());
                lines.removeAll(QStringLiteral("#pragma once"));
                QVERIFY2(!lines.isEmpty() && lines.first().startsWith("//"),
                         qPrintable(folder + "/" + name + " starts with no comment"));
            }
    }
};

QTEST_GUILESS_MAIN(LayeringTest)
#include "test_layering.moc"
