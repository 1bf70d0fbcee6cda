// Renders every compiled-in picture and the four controls onto one sheet, so
// the artwork can be judged side by side:  contact_sheet out.png
#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/Resources.h"
#include "controls/cpDrawGrid.h"
#include "controls/fxRepeatBtn.h"

#include <QApplication>
#include <QPainter>
#include <QTextStream>

namespace
{

constexpr int Zoom = 3;

class Sheet
{
public:
    Sheet() : image_(1100, 1400, QImage::Format_RGB32), painter_(&image_)
    {
        image_.fill(QColor(212, 208, 200));
        painter_.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    }

    void Caption(const QString &text)
    {
        painter_.setPen(Qt::black);
        painter_.drawText(x_, y_ + 12, text);
        y_ += 16;
    }

    void Picture(const QPixmap &picture, int zoom = Zoom)
    {
        const QRect target(x_, y_, picture.width() * zoom, picture.height() * zoom);
        painter_.drawPixmap(target, picture);
        rowHeight_ = qMax(rowHeight_, target.height());
        x_ += target.width() + 12;
    }

    void NewRow()
    {
        x_ = 10;
        y_ += rowHeight_ + 10;
        rowHeight_ = 0;
    }

    void Column(int x, int y)
    {
        x_ = x;
        y_ = y;
        rowHeight_ = 0;
    }

    int Y() const { return y_; }
    bool Save(const QString &path)
    {
        painter_.end();
        return image_.save(path);
    }

private:
    QImage image_;
    QPainter painter_;
    int x_ = 10;
    int y_ = 10;
    int rowHeight_ = 0;
};

QPixmap Grab(QWidget &widget)
{
    widget.ensurePolished();
    return widget.grab();
}

QPixmap CounterRow()
{
    QWidget host;
    host.setFixedSize(260, 200);
    const struct {
        TCounterType type;
        const char *value;
        int digits;
    } rows[] = {{ctLed, "-12", 3},  {ctLed, "7", 3},    {ctTraditional, "1234", 4},
                {ctGold, "905", 3}, {ctSmall, "42", 3}, {ctTypographical, "360", 3}};
    int y = 2;
    for (const auto &row : rows) {
        auto *counter = new TCounter(&host);
        counter->SetCounterType(row.type);
        counter->SetNumDigits(row.digits);
        counter->SetValue(QString::fromLatin1(row.value));
        counter->move(2, y);
        y += counter->height() + 2;
    }
    auto *stretched = new TCounter(&host);
    stretched->SetCounterType(ctLed);
    stretched->SetNumDigits(3);
    stretched->SetStretch(true);
    stretched->setGeometry(120, 2, 57 * 2, 24 * 2);
    stretched->SetValue(QStringLiteral("88"));
    return Grab(host);
}

QPixmap LabelRow()
{
    QWidget host;
    host.setFixedSize(300, 90);
    QFont relief(QStringLiteral("Times New Roman"));
    relief.setBold(true);
    relief.setPixelSize(16);
    const struct {
        const char *caption;
        TDRBorder border;
        int deep;
        bool enabled;
    } rows[] = {{"Time:", boNone, 1, true},
                {"Mines:", boLowered, 1, true},
                {"&Deep", boRaised, 2, true},
                {"Off", boSingle, 1, false}};
    int x = 4;
    for (const auto &row : rows) {
        auto *label = new TDRLabel(&host);
        label->SetFont(relief);
        label->SetCaption(QString::fromLatin1(row.caption));
        label->SetAutoSize(false);
        label->resize(label->sizeHint() + QSize(6, 6));
        label->SetBorder(row.border);
        label->SetDeep(row.deep);
        label->setEnabled(row.enabled);
        label->move(x, 4);
        x += label->width() + 8;
    }
    auto *blue = new TDRLabel(&host);
    blue->SetFont(relief);
    blue->SetFontColor(QColor(0, 0, 255));
    blue->SetShadowColor(QColor(0, 0, 64));
    blue->SetCaption(QStringLiteral("Your time: 123 seconds"));
    blue->move(4, 40);
    return Grab(host);
}

QPixmap ButtonRow(bool enabled)
{
    QWidget host;
    host.setFixedSize(8 * 27 + 4, 29);
    for (int i = 0; i < FerroxRes::ArrowCount; ++i) {
        auto *button = new TfxRepeatBtn(&host);
        button->SetGlyph(FerroxRes::LoadArrowGlyph(FerroxRes::TArrow(i)));
        button->setGeometry(2 + i * 27, 2, 25, 25);
        button->setEnabled(enabled);
    }
    return Grab(host);
}

QPixmap GridShot()
{
    const QList<QPixmap> tiles = FerroxRes::LoadTiles();
    TcpDrawGrid grid;
    grid.SetColCount(9);
    grid.SetRowCount(4);
    grid.FitToCells();
    QFont board(QStringLiteral("Courier New"));
    board.setBold(true);
    board.setPointSize(10);
    grid.setFont(board);
    const QColor numberColours[9] = {
        Qt::black,           QColor(0, 0, 255),     QColor(0, 128, 0),
        QColor(0, 255, 255), QColor(255, 0, 0),     QColor(128, 0, 128),
        QColor(255, 255, 0), QColor(255, 255, 255), QColor(128, 0, 0)};
    QObject::connect(&grid, &TcpDrawGrid::drawCell,
                     [&](QPainter &canvas, int col, int row, const QRect &rect) {
                         if (tiles.isEmpty())
                             return;
                         if (row < 2) {
                             canvas.drawPixmap(rect.topLeft(), tiles.at((row * 9 + col) % 9));
                             return;
                         }
                         canvas.drawPixmap(rect.topLeft(), tiles.at(0));
                         const int count = (row - 2) * 9 + col;
                         if (count >= 1 && count <= 8) {
                             canvas.setBackgroundMode(Qt::OpaqueMode);
                             canvas.setBackground(QColor(191, 191, 191));
                             canvas.setPen(numberColours[count]);
                             const QFontMetrics metrics(canvas.font());
                             canvas.drawText(rect.left() + 4, rect.top() + metrics.ascent(),
                                             QString::number(count));
                         }
                     });
    return Grab(grid);
}

// The counter strip and a board corner as the main window shows them, at
// their real size, with the cross-hair pointer over a cell.
QPixmap ActualSizeScene()
{
    QWidget host;
    host.setFixedSize(240, 120);
    QFont relief(QStringLiteral("Times New Roman"));
    relief.setBold(true);
    relief.setPixelSize(16);
    const struct {
        const char *caption;
        int left;
    } labels[] = {{"Time:", 4}, {"Mines:", 110}};
    for (const auto &l : labels) {
        auto *label = new TDRLabel(&host);
        label->SetFont(relief);
        label->SetCaption(QString::fromLatin1(l.caption));
        label->move(l.left, 4);
    }
    for (int left : {44, 160}) {
        auto *counter = new TCounter(&host);
        counter->SetCounterType(ctLed);
        counter->SetNumDigits(3);
        counter->resize(counter->NaturalSize());
        counter->move(left, 3);
        counter->SetValue(left == 44 ? QStringLiteral("42") : QStringLiteral("-3"));
    }
    const int arrows[3] = {FerroxRes::arDownRight, FerroxRes::arDown, FerroxRes::arRight};
    const QPoint places[3] = {{1, 33}, {26, 33}, {1, 58}};
    for (int i = 0; i < 3; ++i) {
        auto *button = new TfxRepeatBtn(&host);
        button->SetGlyph(FerroxRes::LoadArrowGlyph(FerroxRes::TArrow(arrows[i])));
        button->setGeometry(QRect(places[i], QSize(25, 25)));
    }
    const QList<QPixmap> tiles = FerroxRes::LoadTiles();
    auto *grid = new TcpDrawGrid(&host);
    grid->SetColCount(8);
    grid->SetRowCount(3);
    grid->FitToCells();
    grid->move(26, 58);
    QObject::connect(
        grid, &TcpDrawGrid::drawCell, [&](QPainter &canvas, int col, int row, const QRect &rect) {
            if (!tiles.isEmpty())
                canvas.drawPixmap(rect.topLeft(), tiles.at((col + row) % 3 == 0 ? 0 : 1));
        });
    QPixmap scene = Grab(host);
    QPainter painter(&scene);
    painter.drawPixmap(26 + 3 * 17 + 8 - FerroxRes::XCrossHotX, 58 + 17 + 8 - FerroxRes::XCrossHotY,
                       FerroxRes::LoadPicture(FerroxRes::XCross));
    return scene;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("contact.png");
    Sheet sheet;
    sheet.Caption(QStringLiteral("MineImages (x3)"));
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::MineImages));
    sheet.NewRow();
    sheet.Caption(QStringLiteral("LED, TRAD, GOLD (x3)"));
    for (const char *name : {FerroxRes::Led, FerroxRes::Trad, FerroxRes::Gold}) {
        sheet.Picture(FerroxRes::LoadPicture(name));
        sheet.NewRow();
    }
    sheet.Caption(QStringLiteral("SMALL, TYPO (x2)"));
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::Small), 2);
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::Typo), 2);
    sheet.NewRow();
    sheet.Caption(QStringLiteral("Arrow glyphs, XCross (x3)"));
    for (const char *name : FerroxRes::ArrowNames)
        sheet.Picture(FerroxRes::LoadPicture(name));
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::XCross));
    sheet.NewRow();
    sheet.Caption(QStringLiteral("ProgramIcon, AboutImage, MainIcon (x1), ProgramIcon at 65 x 57"));
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::ProgramIcon), 1);
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::AboutImage), 1);
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::MainIcon), 1);
    sheet.Picture(FerroxRes::LoadPicture(FerroxRes::ProgramIcon).scaled(65, 57), 1);
    sheet.NewRow();
    const int controlsTop = sheet.Y();
    sheet.Caption(QStringLiteral("Counters, relief labels (x2)"));
    sheet.Picture(CounterRow(), 2);
    sheet.Picture(LabelRow(), 2);
    sheet.NewRow();
    sheet.Caption(QStringLiteral("Repeat buttons enabled / disabled, grid with tiles (x2)"));
    sheet.Picture(ButtonRow(true), 2);
    sheet.Picture(ButtonRow(false), 2);
    sheet.NewRow();
    sheet.Picture(GridShot(), 2);
    sheet.Picture(ActualSizeScene(), 1);
    sheet.Picture(ActualSizeScene(), 2);
    (void)controlsTop;
    if (!sheet.Save(out)) {
        QTextStream(stderr) << "cannot write " << out << '\n';
        return 1;
    }
    return 0;
}
