#pragma once

// A device that writes through to another one until a number of bytes has
// gone through, then fails as a full disk does: the bytes that still fit
// are written, the write reports an error.

#include "base/SafeFile.h"

#include <QIODevice>

#include <memory>

class TFailingWriter : public QIODevice
{
public:
    TFailingWriter(QIODevice &target, qint64 limit) : Target(target), Limit(limit)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = qMax<qint64>(0, Limit - Written);
        const qint64 count = Target.write(data, qMin(size, room));
        if (count > 0)
            Written += count;
        if (count == size)
            return count;
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }

private:
    QIODevice &Target;
    qint64 Limit;
    qint64 Written = 0;
};

// Hands ReplaceFileSafely a device that fails once `limit` bytes are written.
inline TWriteDeviceFactory FailAfterBytes(qint64 limit)
{
    return [limit](QIODevice &file) { return std::make_unique<TFailingWriter>(file, limit); };
}
