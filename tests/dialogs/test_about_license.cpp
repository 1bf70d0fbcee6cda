// The about and licence windows: their texts and sizes, the credit of the
// libraries the music really plays with, and the licence window opened on
// top of the about window.
#include "DialogRunner.h"

#include "controls/BevelPanel.h"
#include "dialogs/LicenseForm.h"
#include "dialogs/MAboutForm.h"
#include "music/SoundModule.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>
#include <QtTest>

#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

namespace
{

QLabel *Label(QWidget &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1String(name));
}

QPushButton *Button(QWidget &window, const char *name)
{
    return window.findChild<QPushButton *>(QLatin1String(name));
}

QPlainTextEdit *Memo(QWidget &window)
{
    return window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
}

// The place of a child in the coordinates of `window`.
QRect PlaceIn(const QWidget &window, const QWidget *child)
{
    return QRect(child->mapTo(&window, QPoint(0, 0)), child->size());
}

// The rectangle the text of a label really covers.
QRect InkOf(const QWidget &window, const QLabel *label)
{
    const QRect place = PlaceIn(window, label);
    if (label->wordWrap())
        return place;
    return QRect(place.topLeft(), QFontMetrics(label->font()).size(0, label->text()));
}

} // namespace

class AboutLicenseTest : public QObject
{
    Q_OBJECT

    // The about window's, as the main window hands it its own.
    TSoundModule Sound;

private slots:
    void aboutWindowLooksAsDesigned()
    {
        TMAboutForm about(Sound);
        QCOMPARE(about.windowTitle(), QString("About Ferrox for Windows"));
        QCOMPARE(about.size(), QSize(310, 262));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QVERIFY(about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(about.windowFlags().testFlag(Qt::WindowSystemMenuHint));

        auto *panel = about.findChild<TBevelPanel *>(QStringLiteral("Panel1"));
        QVERIFY(panel);
        QCOMPARE(panel->geometry(), QRect(8, 8, 289, 217));
        QCOMPARE(panel->BevelOuter(), bvLowered);
        QCOMPARE(panel->BevelInner(), bvRaised);

        const QLabel *name = Label(about, "ProductName");
        const QLabel *suffix = Label(about, "Label1");
        QCOMPARE(name->text(), QString("Ferrox "));
        QVERIFY(name->font().bold() && !name->font().italic());
        QCOMPARE(name->font().pixelSize(), 16);
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(suffix->text(), QString("for Windows"));
        QVERIFY(suffix->font().bold() && suffix->font().italic());
        QCOMPARE(suffix->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
        // One line: the suffix follows the name on the same baseline.
        QCOMPARE(suffix->y(), name->y());
        QCOMPARE(suffix->x(), name->geometry().right() + 1);

        QCOMPARE(Label(about, "Version")->text(), QString("Version 2.1"));
        QVERIFY(Label(about, "Version")->y() > name->geometry().bottom());

        const QLabel *icon = Label(about, "ProgramIcon");
        QCOMPARE(icon->size(), QSize(65, 57));
        QCOMPARE(icon->pixmap().size(), QSize(142, 140));
        QVERIFY(icon->hasScaledContents());
        QCOMPARE(Label(about, "Image1")->pixmap().size(), QSize(64, 64));

        QVERIFY(Label(about, "Copyright")->text().startsWith("Copyright (c) 2026"));
        QCOMPARE(Button(about, "Button1")->text(), QString("License"));
        QCOMPARE(Button(about, "Button1")->parentWidget(), panel);
        QCOMPARE(Button(about, "BitBtn1")->text(), QString("OK"));
        QVERIFY(Button(about, "BitBtn1")->isDefault());
        QVERIFY(Button(about, "BitBtn1")->y() > panel->geometry().bottom());
    }

    // Whatever face stands in for the designed one, no text may run into
    // another, past the panel or under a picture or a button.
    void aboutItemsStayApartInsideThePanel()
    {
        TMAboutForm about(Sound);
        const QWidget *panel = about.findChild<QWidget *>(QStringLiteral("Panel1"));
        const QRect inside = PlaceIn(about, panel).adjusted(2, 2, -2, -2);
        QList<QPair<QString, QRect>> items;
        for (const QLabel *label : panel->findChildren<QLabel *>())
            items.append({label->objectName(), InkOf(about, label)});
        items.append({"Button1", PlaceIn(about, Button(about, "Button1"))});
        QCOMPARE(items.size(), 10);
        for (int i = 0; i < items.size(); ++i) {
            QVERIFY2(inside.contains(items[i].second), qPrintable(items[i].first));
            for (int j = i + 1; j < items.size(); ++j)
                QVERIFY2(!items[i].second.intersects(items[j].second),
                         qPrintable(items[i].first + " overlaps " + items[j].first));
        }
    }

    void creditNamesTheLibrariesFoundAtRunTime()
    {
        const QString openmpt = Sound.OpenmptVersion();
        const QString sdl = Sound.SdlVersion();
        SDL_version linked;
        SDL_GetVersion(&linked);
        QCOMPARE(sdl, QString("%1.%2.%3").arg(linked.major).arg(linked.minor).arg(linked.patch));
        QCOMPARE(int(linked.major), SDL_MAJOR_VERSION);
        const std::uint32_t packed = openmpt::get_library_version();
        const QString released =
            QString("%1.%2.%3").arg(packed >> 24).arg((packed >> 16) & 0xff).arg(packed & 0xffff);
        QVERIFY2(openmpt.startsWith(released), qPrintable(openmpt));
        QVERIFY2(!openmpt.contains('+'), qPrintable(openmpt)); // no build metadata

        TMAboutForm about(Sound);
        // The libraries the music really plays with, and no other.
        QCOMPARE(
            Label(about, "Label3")->text(),
            QString("Music played with libopenmpt %1 and SDL %2 (see License)").arg(openmpt, sdl));
    }

    void licenseWindowLooksAsDesigned()
    {
        TLicenseForm license;
        QCOMPARE(license.windowTitle(), QString("License for Ferrox for Windows"));
        QCOMPARE(license.size(), QSize(419, 310));
        QVERIFY(license.minimumSize() != license.maximumSize()); // resizable
        QPlainTextEdit *memo = Memo(license);
        QVERIFY(memo);
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        license.show();
        license.resize(500, 400);
        QTRY_COMPARE(memo->size(), license.size()); // the whole client area
    }

    // Our terms first, then each library the program ships with, each with
    // the words that make its licence what it is.
    void licenseTextQuotesEveryLibrary()
    {
        const QString text = LicenseText();
        QCOMPARE(text, Memo(*std::make_unique<TLicenseForm>())->toPlainText());
        const QStringList marks = {
            "FERROX FOR WINDOWS",
            "no fee",
            "without warranty of any kind",
            "LIBOPENMPT",
            "License: BSD-3-clause",
            "Neither the name of the OpenMPT project",
            "SDL 2 (SIMPLE DIRECTMEDIA LAYER)",
            "This software is provided 'as-is'",
            "This notice may not be removed or altered from any source distribution.",
            "QT 6",
            "https://download.qt.io/",
            "qt6-base",
            "GNU LESSER GENERAL PUBLIC LICENSE",
            "b) Accompany the Combined Work with a copy of the GNU GPL",
            "GNU GENERAL PUBLIC LICENSE",
            "END OF TERMS AND CONDITIONS",
        };
        qsizetype from = 0;
        for (const QString &mark : marks) {
            const qsizetype at = text.indexOf(mark, from);
            QVERIFY2(at >= 0, qPrintable("missing or out of order: " + mark));
            from = at + mark.size();
        }
        // Paragraphs are whole lines for the window to wrap, not hard-wrapped.
        QVERIFY(text.contains("Redistribution and use in source and binary forms, with or without "
                              "modification, are permitted"));
    }

    // With no scroll bars, the caret keys are the way through the text.
    void caretKeysMoveThroughTheText()
    {
        TLicenseForm license;
        RunModal<TLicenseForm>(
            license, [&] { license.Execute(); },
            [](TLicenseForm &open) {
                QPlainTextEdit *memo = Memo(open);
                QCOMPARE(open.focusWidget(), memo);
                QCOMPARE(memo->textCursor().position(), 0);
                QScrollBar *scroll = memo->verticalScrollBar();
                QCOMPARE(scroll->value(), 0);
                for (int i = 0; i < 5; ++i)
                    QTest::keyClick(memo, Qt::Key_PageDown);
                QVERIFY(scroll->value() > 0);
                QVERIFY(memo->textCursor().position() > 0);
                QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
                QCOMPARE(scroll->value(), scroll->maximum());
                QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
                QCOMPARE(scroll->value(), 0);
                QTest::keyClick(memo, Qt::Key_Down);
                QVERIFY(memo->textCursor().blockNumber() > 0 ||
                        memo->textCursor().positionInBlock() > 0);
                // Read-only: typing changes nothing.
                const QString before = memo->toPlainText();
                QTest::keyClicks(memo, "xyz");
                QCOMPARE(memo->toPlainText(), before);
                QTest::keyClick(memo, Qt::Key_Escape);
            });
        QVERIFY(!license.isVisible());
    }

    // "License" opens the licence window on top of the about window, which
    // stays open beneath it and is the modal window again once it closes.
    void licenseButtonOpensTheLicenceOnTop()
    {
        QWidget main;
        auto *license = new TLicenseForm(&main);
        auto *about = new TMAboutForm(Sound, &main);
        about->SetLicenseForm(license);
        QCOMPARE(about->LicenseForm(), license);
        bool licenseSeen = false;
        RunModal<TMAboutForm>(
            *about, [&] { about->Execute(); },
            [&](TMAboutForm &open) {
                QTimer::singleShot(0, license, [&] {
                    licenseSeen = QApplication::activeModalWidget() == license;
                    QVERIFY(open.isVisible());
                    QVERIFY(license->windowHandle());
                    QCOMPARE(license->windowHandle()->transientParent(), open.windowHandle());
                    license->close();
                });
                Button(open, "Button1")->click();
                QVERIFY(!license->isVisible());
                QCOMPARE(QApplication::activeModalWidget(), &open);
                QTest::keyClick(&open, Qt::Key_Return); // Enter is OK
            });
        QVERIFY(licenseSeen);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));

        // From the Help menu the same window stands in front of the main window.
        RunModal<TLicenseForm>(
            *license, [&] { license->Execute(); },
            [&](TLicenseForm &open) {
                QCOMPARE(open.windowHandle()->transientParent(), main.windowHandle());
                open.close();
            });
    }
};

QTEST_MAIN(AboutLicenseTest)
#include "test_about_license.moc"
