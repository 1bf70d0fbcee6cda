// An M3U play list: any bytes, read line by line.  Lines naming one of the
// four modules in the fuzzer's folder become entries; now and then the list
// is saved, beside them and in another folder, and read again.
#include "FuzzSupport.h"
#include "base/MessageBox.h"
#include "music/PlayList.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

namespace
{

void WriteModule(const QString &name, const QByteArray &header)
{
    const QString path = QDir(ScratchFolder().path()).filePath(name);
    WriteFile(path, reinterpret_cast<const uint8_t *>(header.constData()), size_t(header.size()));
}

QList<QByteArray> NamesOf(const TPlayList &list)
{
    QList<QByteArray> names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Items(i).FileName;
    return names;
}

QStringList PathsOf(const TPlayList &list)
{
    QStringList paths;
    for (int i = 0; i < list.Count(); ++i)
        paths << QFileInfo(list.Items(i).Path()).canonicalFilePath();
    return paths;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    SetMessageHandler([](TMsgType, const QString &) {});
    WriteModule(QStringLiteral("a.mod"),
                QByteArray("alpha").leftJustified(20, '\0') + QByteArray(1064, 'm'));
    WriteModule(QStringLiteral("b.s3m"), QByteArray("beta").leftJustified(28, '\0') + "\x1a");
    WriteModule(QStringLiteral("c.it"), "IMPM" + QByteArray("gamma").leftJustified(26, '\0'));
    WriteModule(QStringLiteral("d.xm"),
                "Extended Module: " + QByteArray("delta").leftJustified(20, ' '));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QString folder = ScratchFolder().path();
    TPlayList list;
    FUZZ_CHECK(list.AppendFromDevice(buffer, folder, Decoder()));
    FUZZ_CHECK(list.Count() <= bytes.count('\n') + bytes.count('\r') + 1);
    for (int i = 0; i < list.Count(); ++i) {
        const TPlayListItem &item = list.Items(i);
        FUZZ_CHECK(!item.FileName.contains('\r') && !item.FileName.contains('\n'));
        FUZZ_CHECK(!item.FileName.contains('\x1a') && !item.FileName.contains('\0'));
        FUZZ_CHECK(item.FileName.size() <= MaxPlayListLineLength);
        FUZZ_CHECK(item.Title.size() <= 28);
    }

    // Saving goes to the disk: only inputs that ask for it.
    if (bytes.startsWith("#SAVE") && !list.IsEmpty()) {
        const QString path = QDir(folder).filePath(QStringLiteral("saved.m3u"));
        QString error;
        FUZZ_CHECK(list.SaveToFile(path, &error));
        TPlayList loaded;
        FUZZ_CHECK(loaded.LoadFromFile(path, Decoder()));
        FUZZ_CHECK(NamesOf(loaded) == NamesOf(list));
        // Saved elsewhere, it names the same files.
        const QString elsewhere = QDir(folder).filePath(QStringLiteral("sub/saved.m3u"));
        QDir(folder).mkdir(QStringLiteral("sub"));
        FUZZ_CHECK(list.SaveToFile(elsewhere, &error));
        FUZZ_CHECK(loaded.LoadFromFile(elsewhere, Decoder()));
        FUZZ_CHECK(PathsOf(loaded) == PathsOf(list));
    }
    return 0;
}
