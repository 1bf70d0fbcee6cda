// The controls of the main window at their design places (96 pixels per
// inch).  LayoutBoard moves and sizes them for the board.

#include "mainwindow/MineForm.h"

#include "controls/Counter.h"
#include "controls/DRLabel.h"
#include "controls/Resources.h"
#include "controls/cpDrawGrid.h"
#include "controls/fxRepeatBtn.h"
#include "controls/StatusPanels.h"
#include "controls/BevelPanel.h"

#include <QMouseEvent>
#include <QTimer>

namespace
{
constexpr int EdgeButtonSize = 25;
constexpr int CounterStripHeight = 32;
constexpr int StatusBarHeight = 19;

QFont PixelFont(const QString &family, int pixels, bool bold, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
} // namespace

void TMineForm::CreateControls()
{
    setFont(PixelFont(QStringLiteral("Courier New"), 13, true));
    auto *client = new QWidget(this);
    client->resize(327, 377 - CounterStripHeight);
    setCentralWidget(client);
    CreateCounterStrip(client);
    CreateBoardPanel(client);
    CreateStatusBar();
    STimer = new QTimer(this);
    STimer->setInterval(TimerIntervalMs);
    connect(STimer, &QTimer::timeout, this, &TMineForm::STimerTimer);
}

void TMineForm::CreateCounterStrip(QWidget *client)
{
    const QFont labelFont = PixelFont(QStringLiteral("Times New Roman"), 16, true);
    auto makeLabel = [&](const QString &caption, QRect place) {
        auto *label = new TDRLabel(client);
        label->setGeometry(place);
        label->SetFont(labelFont);
        label->SetCaption(caption);
        label->SetHiColor(Qt::blue);
        label->SetLoColor(QColor(0, 0, 128));
        label->SetBorder(boNone);
        label->SetDeep(1);
        label->move(place.topLeft());
        return label;
    };
    DRLabel1 = makeLabel(QStringLiteral("Time:"), QRect(4, 4, 39, 19));
    DRLabel2 = makeLabel(QStringLiteral("Mines:"), QRect(110, 4, 48, 19));

    // Applied in the order a window description applies them: the three
    // digits set while Stretch is still off give the natural width of 54.
    auto makeCounter = [&](QRect place, bool stretch, const QString &value) {
        auto *counter = new TCounter(client);
        counter->setGeometry(place);
        counter->SetCounterType(ctLed);
        counter->SetNumDigits(3);
        counter->SetStretch(stretch);
        counter->SetValue(value);
        counter->Loaded();
        return counter;
    };
    TimeCount = makeCounter(QRect(44, 3, 57, 24), true, QStringLiteral("000"));
    MineCount = makeCounter(QRect(160, 3, 57, 24), false, QStringLiteral("0"));
}

TfxRepeatBtn *TMineForm::CreateEdgeButton(int arrow)
{
    auto *button = new TfxRepeatBtn(MinePanel);
    button->resize(EdgeButtonSize, EdgeButtonSize);
    button->SetGlyph(FerroxRes::LoadArrowGlyph(static_cast<FerroxRes::TArrow>(arrow)));
    button->SetNumGlyphs(2);
    button->SetInitDelay(200);
    button->SetRepeatDelay(100);
    button->SetRepeatEnabled(true);
    return button;
}

TBevelPanel *TMineForm::CreateFillerPanel()
{
    auto *panel = new TBevelPanel(MinePanel);
    panel->SetBevelOuter(bvRaised);
    return panel;
}

void TMineForm::CreateBoardPanel(QWidget *client)
{
    using namespace FerroxRes;
    MinePanel = new TBevelPanel(client);
    MinePanel->move(0, CounterStripHeight);
    MinePanel->SetBevelOuter(bvLowered);
    MinePanel->SetBevelInner(bvRaised);

    // Each glyph points the way its button moves the board's contents:
    // away from the button's own edge or corner.
    SpLeftUp = CreateEdgeButton(arDownRight);
    SpUpL = CreateEdgeButton(arDown);
    SpUpR = CreateEdgeButton(arDown);
    SpRightUp = CreateEdgeButton(arDownLeft);
    SpLeftU = CreateEdgeButton(arRight);
    SpLeftD = CreateEdgeButton(arRight);
    SpRightU = CreateEdgeButton(arLeft);
    SpRightD = CreateEdgeButton(arLeft);
    SpLeftDown = CreateEdgeButton(arUpRight);
    SpDownL = CreateEdgeButton(arUp);
    SpDownR = CreateEdgeButton(arUp);
    SpRightDown = CreateEdgeButton(arUpLeft);
    SpLeftU->SetInitDelay(400);
    SpLeftU->SetRepeatEnabled(false);

    // The top row and the left column keep these places for good.
    SpLeftUp->move(1, 1);
    SpUpL->move(26, 1);
    SpLeftU->move(1, 26);

    LeftPanel = CreateFillerPanel();
    LeftPanel->setGeometry(1, 51, EdgeButtonSize, 0);
    RightPanel = CreateFillerPanel();
    RightPanel->resize(EdgeButtonSize, 0);
    CreateTitlePanels();
    CreateBoardGrid();
}

void TMineForm::CreateTitlePanels()
{
    UpPanel = new TBevelPanel(MinePanel);
    UpPanel->setGeometry(51, 1, 0, EdgeButtonSize);
    UpPanel->SetCaption(QStringLiteral("FERROX"));
    UpPanel->setFont(PixelFont(QStringLiteral("Stucco 555"), 16, true, true));
    UpPanel->SetFontColor(Qt::red);
    UpPanel->OnMouseDown = [this](Qt::MouseButton button, Qt::MouseButtons held, QPoint pos) {
        UpPanelMouseDown(button, held, pos);
    };
    UpPanel->OnMouseUp = [this](Qt::MouseButton button, Qt::MouseButtons held, QPoint pos) {
        UpPanelMouseUp(button, held, pos);
    };
    UpPanel->OnMouseMove = [this](Qt::MouseButtons held, QPoint pos) {
        UpPanelMouseMove(held, pos);
    };
    UpPanel->OnClick = [this] { UpPanelClick(); };

    DownPanel = new TBevelPanel(MinePanel);
    DownPanel->setGeometry(51, 0, 0, EdgeButtonSize);
    DownPanel->SetCaption(VersionCaption);
    DownPanel->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    DownPanel->OnClick = [this] { DownPanelClick(); };
}

void TMineForm::CreateBoardGrid()
{
    MineGrid = new TcpDrawGrid(MinePanel);
    MineGrid->move(26, 26);
    MineGrid->setFocusPolicy(Qt::StrongFocus);
    MineGrid->OnDrawCell = [this](TcpDrawGrid *, QPainter &canvas, int col, int row,
                                  const QRect &) { MineGridDrawCell(canvas, col, row); };
    MineGrid->OnMouseDown = [this](TcpDrawGrid *, QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseDown(event->button(), event->modifiers() & Qt::ShiftModifier, pos.x(),
                          pos.y());
    };
    MineGrid->OnMouseUp = [this](TcpDrawGrid *, QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseUp(event->button(), event->modifiers() & Qt::ShiftModifier, pos.x(), pos.y());
    };
    MineGrid->OnMouseMove = [this](TcpDrawGrid *, QMouseEvent *event) {
        const QPoint pos = event->position().toPoint();
        MineGridMouseMove(event->buttons(), pos.x(), pos.y());
    };
    MineGrid->OnKeyPress = [this](TcpDrawGrid *, QChar &key) { MineGridKeyPress(key); };
    MineGrid->OnMouseEnter = [this](TcpDrawGrid *, int col, int row) {
        MineGridMouseEnter(col, row);
    };
    MineGrid->OnMouseLeave = [this](TcpDrawGrid *, int col, int row) {
        MineGridMouseLeave(col, row);
    };
    MineGrid->OnMouseEnterCell = [this](TcpDrawGrid *, int col, int row) {
        MineGridMouseEnterCell(col, row);
    };
    MineGrid->OnMouseLeaveCell = [this](TcpDrawGrid *, int col, int row) {
        MineGridMouseLeaveCell(col, row);
    };
}

void TMineForm::CreateStatusBar()
{
    TheStatusBar = new TStatusPanels(this);
    TheStatusBar->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    TheStatusBar->setFixedHeight(StatusBarHeight);
    TheStatusBar->AddPanel(80, false, QStringLiteral("Best Time:"));
    TheStatusBar->AddPanel(40, true, QStringLiteral("999"));
    TheStatusBar->AddPanel(28, false, QStringLiteral("by:"));
    TheStatusBar->AddPanel(50, true, NoRecordHolder);
    TheStatusBar->OnDrawPanel = [this](QPainter &painter, int panel, const QRect &rect) {
        TheStatusBarDrawPanel(painter, panel, rect);
    };
    setStatusBar(TheStatusBar);
}

QList<TfxRepeatBtn *> TMineForm::EdgeButtons() const
{
    return {SpLeftUp,    SpUpL,   SpUpR,   SpRightUp,  SpRightU, SpRightD,
            SpRightDown, SpDownR, SpDownL, SpLeftDown, SpLeftD,  SpLeftU};
}
