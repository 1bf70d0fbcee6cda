#include "music/PlayList.h"

#include "base/CodePageText.h"
#include "music/SoundModule.h"

#include <QFile>
#include <QIODevice>

namespace
{

enum class TModuleKind { Unknown, Mod, S3m, It, Xm };

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Only a..z fold: a byte above 127 must never match a mark by accident of
// a locale's case table.
bool EqualsIgnoringAsciiCase(const QByteArray &bytes, const char *mark)
{
    const QByteArray expected(mark);
    if (bytes.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (AsciiUpper(bytes[i]) != AsciiUpper(expected[i]))
            return false;
    }
    return true;
}

// The kind comes from the name alone, never from the contents.
TModuleKind KindOfName(const QByteArray &fileName)
{
    if (fileName.size() < 3)
        return TModuleKind::Unknown;
    const QByteArray ending = fileName.right(3);
    if (EqualsIgnoringAsciiCase(ending, "MOD"))
        return TModuleKind::Mod;
    if (EqualsIgnoringAsciiCase(ending, "S3M"))
        return TModuleKind::S3m;
    if (EqualsIgnoringAsciiCase(ending, ".IT"))
        return TModuleKind::It;
    if (EqualsIgnoringAsciiCase(ending, ".XM"))
        return TModuleKind::Xm;
    return TModuleKind::Unknown;
}

bool ReadExactly(QIODevice &device, qint64 count, QByteArray &bytes)
{
    bytes = device.read(count);
    return bytes.size() == count;
}

// The part of the name after its last dot, when that dot is in the file's
// own name: "tune.mtm" gives "mtm", "old.d/tune" nothing.
QString ExtensionOfName(const QByteArray &fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot < 0 || dot < fileName.lastIndexOf('/'))
        return QString();
    return QString::fromLatin1(fileName.mid(dot + 1));
}

// Decoder titles come as any text; the entry keeps 8-bit text of one line.
QByteArray StoredTitle(const QString &title)
{
    return ToCodePageBytes(WithoutControlCharacters(title.left(MaxDecoderTitleLength)));
}

QByteArray UpToFirstZero(const QByteArray &field)
{
    const qsizetype zero = field.indexOf('\0');
    return zero < 0 ? field : field.left(zero);
}

bool ReadModTitle(QIODevice &device, QByteArray &title)
{
    return ReadExactly(device, 20, title);
}

bool ReadS3mTitle(QIODevice &device, QByteArray &title)
{
    QByteArray mark;
    return ReadExactly(device, 28, title) && ReadExactly(device, 1, mark) && mark[0] == 26;
}

bool ReadMarkedTitle(QIODevice &device, const char *mark, qint64 titleLength, QByteArray &title)
{
    QByteArray head;
    const qint64 markLength = static_cast<qint64>(qstrlen(mark));
    return ReadExactly(device, markLength, head) && EqualsIgnoringAsciiCase(head, mark) &&
           ReadExactly(device, titleLength, title);
}

} // namespace

QByteArray ReadModuleTitle(const QByteArray &fileName, QIODevice &device, bool *ok)
{
    QByteArray field;
    bool read = false;
    switch (KindOfName(fileName)) {
    case TModuleKind::Mod:
        read = ReadModTitle(device, field);
        break;
    case TModuleKind::S3m:
        read = ReadS3mTitle(device, field);
        break;
    case TModuleKind::It:
        read = ReadMarkedTitle(device, "IMPM", 26, field);
        break;
    case TModuleKind::Xm:
        read = ReadMarkedTitle(device, "Extended Module: ", 20, field);
        break;
    case TModuleKind::Unknown:
        break;
    }
    if (ok)
        *ok = read;
    return read ? UpToFirstZero(field) : QByteArray();
}

bool TPlayListItem::ReadTitle(TSoundModule &decoder)
{
    Title.clear();
    if (KindOfName(FileName) == TModuleKind::Unknown)
        return ReadDecoderTitle(decoder);
    // Only plain files: opening a named pipe that happens to end in "mod"
    // would wait for a writer forever.  Unbuffered, so that only the header
    // bytes are read from the disk.
    QFile file(Path());
    if (!OpenRegularFile(file, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    bool ok = false;
    Title = ReadModuleTitle(FileName, file, &ok);
    return ok;
}

// A name of a kind the decoder does not read fails whatever the file holds,
// so it is not even opened: long play lists full of other files load
// quickly.
bool TPlayListItem::ReadDecoderTitle(TSoundModule &decoder)
{
    if (!decoder.IsDecoderExtension(ExtensionOfName(FileName)))
        return false;
    const std::optional<QString> title = decoder.DecoderTitle(Path());
    if (!title)
        return false;
    Title = StoredTitle(*title);
    return true;
}
