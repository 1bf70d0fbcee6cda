// A module's header: the first byte picks the kind of file name, the rest is
// the file.  The title is read from memory and from a file on disk, alike.
#include "FuzzSupport.h"
#include "music/PlayList.h"
#include "music/SoundModule.h"

#include <QBuffer>
#include <QDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const names[] = {"x.mod", "x.S3M", "x.it", "x.Xm", "x.txt"};
    if (size == 0)
        return 0;
    const QByteArray name = names[data[0] % 5];
    QByteArray content(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    bool ok = false;
    const QByteArray title = ReadModuleTitle(name, buffer, &ok);
    FUZZ_CHECK(title.size() <= 28);
    FUZZ_CHECK(!title.contains('\0'));
    FUZZ_CHECK(ok || title.isEmpty());
    FUZZ_CHECK(buffer.pos() <= 37); // the header only

    const QString folder = ScratchFolder().path();
    WriteFile(QDir(folder).filePath(QString::fromLatin1(name)), data + 1, size - 1);
    TPlayListItem item;
    item.FileName = name;
    item.BaseFolder = folder;
    FUZZ_CHECK(item.ReadTitle(Decoder()) == ok);
    FUZZ_CHECK(item.Title == title);
    FUZZ_CHECK(item.TitleText().size() == title.size());
    return 0;
}
