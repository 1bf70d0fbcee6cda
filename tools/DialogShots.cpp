// Renders the custom size, new record, about and licence windows to PNG files, so their
// look can be judged without a display:  dialog_shots [folder]
// (QT_QPA_PLATFORM=offscreen works.)
#include "dialogs/DlgCustom.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "model/Mines.h"
#include "music/SoundModule.h"
#include "records/BestForm.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace
{

// Shows `window` modally through `run`, saves its picture and closes it.
template <typename TWindow, typename TRun>
void Shoot(TWindow &window, const TRun &run, const QString &file,
           const std::function<void()> &prepare = {})
{
    QTimer::singleShot(100, &window, [&window, file, prepare] {
        if (prepare)
            prepare();
        const bool saved = window.grab().save(file);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
        window.reject();
    });
    run();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Each window closes before the next opens; that is not the end.
    app.setQuitOnLastWindowClosed(false);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    TDlgCustom custom;
    Shoot(
        custom,
        [&] {
            custom.Execute({16, 16, 40});
        },
        folder.filePath(QStringLiteral("custom_size.png")));

    TSoundModule sound;
    TLicenseForm license;
    TMAboutForm about(sound);
    about.SetLicenseForm(&license);
    Shoot(
        about, [&] { about.Execute(); }, folder.filePath(QStringLiteral("about.png")));
    Shoot(
        license, [&] { license.Execute(); }, folder.filePath(QStringLiteral("license.png")));
    // Further down: how the copied licence files wrap.
    Shoot(
        license, [&] { license.Execute(); }, folder.filePath(QStringLiteral("license_sdl.png")),
        [&license] {
            auto *memo = license.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
            memo->find(QStringLiteral("License: zlib/libpng"));
        });

    TBestForm record;
    Shoot(
        record,
        [&] {
            record.Execute({.RecordName = QStringLiteral("Ann"),
                            .Cols = 30,
                            .Rows = 20,
                            .Mines = 99,
                            .TimeText = QStringLiteral("1234")});
        },
        folder.filePath(QStringLiteral("new_record.png")));
    return 0;
}
