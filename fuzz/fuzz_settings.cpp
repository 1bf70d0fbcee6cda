// The settings file: any bytes as Ferrox.conf.  The text is parsed, written
// and parsed again to the same values, and the model loads it as at start.
#include "FuzzSupport.h"
#include "base/SettingsFormat.h"
#include "base/SettingsStore.h"
#include "model/Mines.h"

#include <QDir>

namespace
{

bool IsStoredType(const QVariant &value)
{
    return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList ||
           value.metaType() == QMetaType::fromType<TSerializedValue>();
}

bool HasControlCharacter(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

QString StorePath()
{
    return QDir(ScratchFolder().path()).filePath(QStringLiteral("Olvane/Ferrox.conf"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartQt();
    QDir(ScratchFolder().path()).mkpath(QStringLiteral("Olvane"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QSettings::SettingsMap values = ParseSettingsText(bytes);
    for (auto it = values.begin(); it != values.end(); ++it) {
        FUZZ_CHECK(!it.key().isEmpty());
        FUZZ_CHECK(IsStoredType(it.value()));
    }
    // What the store writes reads back as the same values, and is written
    // again as the same text.
    const QByteArray text = SettingsText(values);
    const QSettings::SettingsMap again = ParseSettingsText(text);
    FUZZ_CHECK(again == values);
    FUZZ_CHECK(SettingsText(again) == text);

    // The model at start-up: whatever the file holds, a playable board.
    WriteFile(StorePath(), data, size);
    TGameEnvironment environment;
    environment.Settings = TSettingsStore(StorePath());
    TMines model(TMines::TStoreUse::None, environment);
    model.LoadSettings();
    FUZZ_CHECK(model.Cols >= 1 && model.Rows >= 1);
    FUZZ_CHECK(model.Mines >= 1 && model.Mines < model.Cols * model.Rows);
    FUZZ_CHECK(model.RecordName.size() <= 30 && !HasControlCharacter(model.RecordName));
    return 0;
}
