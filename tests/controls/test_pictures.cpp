#include "controls/Resources.h"

#include <QtTest>

using namespace FerroxRes;

namespace
{

const QColor Face(189, 189, 189);
const QColor ShadowGrey(123, 123, 123);

QImage Rgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool Has(const QImage &image, const std::function<bool(const QColor &)> &test)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

bool Reddish(const QColor &c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
bool Yellowish(const QColor &c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() < 80;
}
bool Greenish(const QColor &c)
{
    return c.green() > 120 && c.red() < 60 && c.blue() < 60;
}
bool Blue(const QColor &c)
{
    return c == QColor(0, 0, 255);
}

// The centre of mass of an arrow's opaque pixels lies towards its head.
QPointF MassCentre(const QImage &picture)
{
    QPointF sum;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y).alpha() > 0) {
                sum += QPointF(x, y);
                ++count;
            }
    return count == 0 ? QPointF() : sum / count - QPointF(7.5, 7.5);
}

int Sign(qreal v)
{
    return v > 0.25 ? 1 : (v < -0.25 ? -1 : 0);
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureHasItsSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("tiles") << MineImages << QSize(153, 17);
        QTest::newRow("small") << Small << QSize(110, 30);
        QTest::newRow("trad") << Trad << QSize(180, 24);
        QTest::newRow("typo") << Typo << QSize(210, 27);
        QTest::newRow("led") << Led << QSize(198, 24);
        QTest::newRow("gold") << Gold << QSize(180, 30);
        QTest::newRow("cross") << XCross << QSize(32, 32);
        QTest::newRow("program") << ProgramIcon << QSize(142, 140);
        QTest::newRow("about") << AboutImage << QSize(64, 64);
        QTest::newRow("icon") << MainIcon << QSize(64, 64);
        for (const char *arrow : ArrowNames)
            QTest::newRow(arrow) << arrow << QSize(32, 16);
    }

    void everyPictureHasItsSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QCOMPARE(LoadPicture(name.toLatin1().constData()).size(), size);
    }

    void tilesComeInBoardOrder()
    {
        const QList<QPixmap> tiles = LoadTiles();
        QCOMPARE(tiles.size(), 9);
        QList<QImage> t;
        for (const QPixmap &tile : tiles) {
            QCOMPARE(tile.size(), QSize(17, 17));
            t << Rgb(tile);
        }
        // Open: flat face, dotted right column and bottom row.
        QCOMPARE(t[tiOpen].pixelColor(0, 0), Face);
        QCOMPARE(t[tiOpen].pixelColor(16, 0), QColor(Qt::black));
        QCOMPARE(t[tiOpen].pixelColor(16, 1), ShadowGrey);
        QCOMPARE(t[tiOpen].pixelColor(3, 16), ShadowGrey);
        // Covered: white top-left, grey inner and black outer shadow.
        QCOMPARE(t[tiCovered].pixelColor(5, 0), QColor(Qt::white));
        QCOMPARE(t[tiCovered].pixelColor(0, 5), QColor(Qt::white));
        QCOMPARE(t[tiCovered].pixelColor(15, 5), ShadowGrey);
        QCOMPARE(t[tiCovered].pixelColor(16, 5), QColor(Qt::black));
        QCOMPARE(t[tiCovered].pixelColor(8, 8), Face);
        // Pressed: grey top-left, black bottom-right, flat face.
        QCOMPARE(t[tiPressed].pixelColor(5, 0), ShadowGrey);
        QCOMPARE(t[tiPressed].pixelColor(16, 5), QColor(Qt::black));
        QCOMPARE(t[tiPressed].pixelColor(8, 8), Face);
        // Mine on a raised face, with a white glint.
        QCOMPARE(t[tiMine].pixelColor(0, 5), QColor(Qt::white));
        QCOMPARE(t[tiMine].pixelColor(8, 8), QColor(Qt::black));
        QVERIFY(Has(t[tiMine].copy(4, 4, 9, 9), [](const QColor &c) { return c == Qt::white; }));
        // Question marks, raised and pressed.
        QVERIFY(Has(t[tiQuestion], Blue));
        QCOMPARE(t[tiQuestion].pixelColor(5, 0), QColor(Qt::white));
        QVERIFY(Has(t[tiQuestionPressed], Blue));
        QCOMPARE(t[tiQuestionPressed].pixelColor(5, 0), ShadowGrey);
        // The burst on an open face; the crossed and the checked mine.
        QVERIFY(Has(t[tiExploded], Reddish) && Has(t[tiExploded], Yellowish));
        QCOMPARE(t[tiExploded].pixelColor(16, 0), QColor(Qt::black));
        QVERIFY(Has(t[tiWrongFlag], Reddish) && !Has(t[tiWrongFlag], Greenish));
        QVERIFY(Has(t[tiFoundMine], Greenish) && !Has(t[tiFoundMine], Reddish));
    }

    void arrowsPointTheirWayAndHaveADisabledPicture()
    {
        const QPoint ways[ArrowCount] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0},
                                         {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
        for (int i = 0; i < ArrowCount; ++i) {
            const QImage glyph = Rgb(LoadArrowGlyph(TArrow(i)));
            const QImage normal = glyph.copy(0, 0, 16, 16);
            const QImage disabled = glyph.copy(16, 0, 16, 16);
            const QPointF centre = MassCentre(normal);
            QCOMPARE(QPoint(Sign(centre.x()), Sign(centre.y())), ways[i]);
            QVERIFY(Has(normal, [](const QColor &c) { return c == Qt::black; }));
            QVERIFY(!Has(disabled, [](const QColor &c) { return c == Qt::black; }));
            QVERIFY(Has(disabled, [](const QColor &c) { return c.alpha() > 0; }));
        }
    }

    void crossHairIsBlackOutlinedWhiteAndCentred()
    {
        const QImage cross = Rgb(LoadPicture(XCross));
        QCOMPARE(cross.pixelColor(16, 16), QColor(Qt::black));
        QCOMPARE(cross.pixelColor(8, 8), QColor(Qt::black));
        QCOMPARE(cross.pixelColor(24, 8), QColor(Qt::black));
        QCOMPARE(cross.pixelColor(17, 16), QColor(Qt::white));
        QCOMPARE(cross.pixelColor(0, 0).alpha(), 0);
        int left = 32, right = -1;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (cross.pixelColor(x, y) == Qt::black) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        QCOMPARE(right - left + 1, 17);
        const QCursor cursor = LoadXCrossCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(XCrossHotX, XCrossHotY));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    void digitStripsHoldDistinctGlyphs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("glyphs");
        QTest::newRow("small") << Small << 10;
        QTest::newRow("trad") << Trad << 10;
        QTest::newRow("typo") << Typo << 10;
        QTest::newRow("led") << Led << 11;
        QTest::newRow("gold") << Gold << 10;
    }

    void digitStripsHoldDistinctGlyphs()
    {
        QFETCH(QString, name);
        QFETCH(int, glyphs);
        const QImage strip = Rgb(LoadPicture(name.toLatin1().constData()));
        const int w = strip.width() / glyphs;
        QSet<QByteArray> seen;
        for (int g = 0; g < glyphs; ++g) {
            const QImage glyph = strip.copy(g * w, 0, w, strip.height());
            seen.insert(QByteArray(reinterpret_cast<const char *>(glyph.constBits()),
                                   int(glyph.sizeInBytes())));
        }
        QCOMPARE(seen.size(), glyphs);
    }

    void missingPicturesGiveNothingRatherThanACrash()
    {
        QVERIFY(LoadPicture("NoSuchPicture").isNull());
        QVERIFY(LoadArrowGlyph(TArrow(42)).isNull());
        QVERIFY(!LoadMainIcon().isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
