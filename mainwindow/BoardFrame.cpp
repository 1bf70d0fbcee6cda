#include "mainwindow/BoardFrame.h"
#include "controls/Fonts.h"

#include "controls/FormScaleUnit.h"
#include "controls/Resources.h"
#include "controls/fxRepeatBtn.h"
#include "mainwindow/BoardView.h"
#include "mainwindow/Layout.h"
#include "mainwindow/TitlePanel.h"
#include "model/MineGame.h"

#include <algorithm>

namespace
{
// A board of fewer than three cells a side (only possible through a
// hand-edited settings store) would give the title panels a negative size.
int AtLeastZero(int value)
{
    return std::max(0, value);
}
// What a screen reader calls an edge button: the way it turns the board,
// which is the way its glyph points.
QString TurnName(int arrow)
{
    using namespace FerroxRes;
    switch (arrow) {
    case arDown:
        return QStringLiteral("Turn the board down");
    case arUp:
        return QStringLiteral("Turn the board up");
    case arLeft:
        return QStringLiteral("Turn the board left");
    case arRight:
        return QStringLiteral("Turn the board right");
    case arDownRight:
        return QStringLiteral("Turn the board down and right");
    case arDownLeft:
        return QStringLiteral("Turn the board down and left");
    case arUpRight:
        return QStringLiteral("Turn the board up and right");
    case arUpLeft:
        return QStringLiteral("Turn the board up and left");
    default:
        return {};
    }
}
} // namespace

TBoardFrame::TBoardFrame(TMineGame &game, const TFormScale &scale, QWidget *parent)
    : TBevelPanel(parent), Scale(scale)
{
    using namespace FerroxRes;
    setObjectName(QStringLiteral("MinePanel"));
    SetBevelOuter(bvLowered);
    SetBevelInner(bvRaised);

    // Each glyph points the way its button moves the board's contents:
    // away from the button's own edge or corner.  The top row and the left
    // column keep their places for good.
    constexpr int B = EdgeButtonSize;
    SpLeftUp = CreateEdgeButton("SpLeftUp", arDownRight, &TBoardFrame::SBDownRight, {1, 1});
    SpUpL = CreateEdgeButton("SpUpL", arDown, &TBoardFrame::SBDown, {B + 1, 1});
    SpUpR = CreateEdgeButton("SpUpR", arDown, &TBoardFrame::SBDown);
    SpRightUp = CreateEdgeButton("SpRightUp", arDownLeft, &TBoardFrame::SBDownLeft);
    SpLeftU = CreateEdgeButton("SpLeftU", arRight, &TBoardFrame::SBRight, {1, B + 1});
    SpLeftD = CreateEdgeButton("SpLeftD", arRight, &TBoardFrame::SBRight);
    SpRightU = CreateEdgeButton("SpRightU", arLeft, &TBoardFrame::SBLeft);
    SpRightD = CreateEdgeButton("SpRightD", arLeft, &TBoardFrame::SBLeft);
    SpLeftDown = CreateEdgeButton("SpLeftDown", arUpRight, &TBoardFrame::SBUpRight);
    SpDownL = CreateEdgeButton("SpDownL", arUp, &TBoardFrame::SBUp);
    SpDownR = CreateEdgeButton("SpDownR", arUp, &TBoardFrame::SBUp);
    SpRightDown = CreateEdgeButton("SpRightDown", arUpLeft, &TBoardFrame::SBUpLeft);
    // One move per press: a way to step the board exactly.
    SpLeftU->SetInitDelay(400);
    SpLeftU->SetRepeatEnabled(false);

    LeftPanel = CreateFillerPanel("LeftPanel");
    LeftPanel->setGeometry(1, 2 * B + 1, B, 0);
    RightPanel = CreateFillerPanel("RightPanel");
    RightPanel->resize(B, 0);
    CreateTitlePanels();

    MineGrid = new TBoardView(game, this);
    MineGrid->setFont(PointFont(QStringLiteral("Courier New"), Scale.ScaledPoints(10), true));
    MineGrid->move(B + 1, B + 1);
    MineGrid->setFocusPolicy(Qt::StrongFocus);
}

TfxRepeatBtn *TBoardFrame::CreateEdgeButton(const char *name, int arrow,
                                            void (TBoardFrame::*handler)(), QPoint place)
{
    auto *button = new TfxRepeatBtn(this);
    button->setObjectName(QLatin1String(name));
    button->resize(EdgeButtonSize, EdgeButtonSize);
    button->move(place);
    button->SetGlyph(FerroxRes::LoadArrowGlyph(static_cast<FerroxRes::TArrow>(arrow)));
    button->setAccessibleName(TurnName(arrow));
    button->SetNumGlyphs(2);
    button->SetInitDelay(EdgeFirstRepeatMs);
    button->SetRepeatDelay(EdgeRepeatMs);
    button->SetRepeatEnabled(true);
    connect(button, &TfxRepeatBtn::clicked, this, handler);
    return button;
}

TBevelPanel *TBoardFrame::CreateFillerPanel(const char *name)
{
    auto *panel = new TBevelPanel(this);
    panel->setObjectName(QLatin1String(name));
    panel->SetBevelOuter(bvRaised);
    return panel;
}

void TBoardFrame::CreateTitlePanels()
{
    constexpr int B = EdgeButtonSize;
    UpPanel = new TTitlePanel(this);
    UpPanel->setObjectName(QStringLiteral("UpPanel"));
    UpPanel->setGeometry(2 * B + 1, 1, 0, B);
    UpPanel->SetCaption(QStringLiteral("FERROX"));
    UpPanel->setFont(PixelFont(QStringLiteral("Stucco 555"), 16, true, true));
    UpPanel->SetFontColor(Qt::red);
    connect(UpPanel, &TBevelPanel::clicked, this, &TBoardFrame::UpPanelClick);

    DownPanel = new TBevelPanel(this);
    DownPanel->setObjectName(QStringLiteral("DownPanel"));
    DownPanel->setGeometry(2 * B + 1, 0, 0, B);
    DownPanel->SetCaption(VersionCaption);
    DownPanel->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    // A module title is set smaller before it is cut: on the Easy board the
    // panel is 86 pixels wide.
    DownPanel->SetShrinkCaptionTo(SmallestTitlePixels);
}

void TBoardFrame::SBDown()
{
    emit moveRequested(QPoint(0, 1));
}

void TBoardFrame::SBUp()
{
    emit moveRequested(QPoint(0, -1));
}

void TBoardFrame::SBLeft()
{
    emit moveRequested(QPoint(-1, 0));
}

void TBoardFrame::SBRight()
{
    emit moveRequested(QPoint(1, 0));
}

void TBoardFrame::SBDownRight()
{
    emit moveRequested(QPoint(1, 1));
}

void TBoardFrame::SBDownLeft()
{
    emit moveRequested(QPoint(-1, 1));
}

void TBoardFrame::SBUpRight()
{
    emit moveRequested(QPoint(1, -1));
}

void TBoardFrame::SBUpLeft()
{
    emit moveRequested(QPoint(-1, -1));
}

void TBoardFrame::UpPanelClick()
{
    emit newGameClicked();
}

QList<TfxRepeatBtn *> TBoardFrame::EdgeButtons() const
{
    return {SpLeftUp,    SpUpL,   SpUpR,   SpRightUp,  SpRightU, SpRightD,
            SpRightDown, SpDownR, SpDownL, SpLeftDown, SpLeftD,  SpLeftU};
}

void TBoardFrame::SetEdgeButtonsEnabled(bool enabled)
{
    for (TfxRepeatBtn *button : EdgeButtons())
        button->setEnabled(enabled);
}

void TBoardFrame::Layout()
{
    constexpr int B = EdgeButtonSize;
    MineGrid->FitBoard();
    const int gridWidth = MineGrid->width();
    const int gridHeight = MineGrid->height();

    resize(gridWidth + 2 * B + 2, gridHeight + 2 * B + 2);
    LeftPanel->resize(B, AtLeastZero(gridHeight - 2 * B));
    RightPanel->resize(B, AtLeastZero(gridHeight - 2 * B));
    UpPanel->resize(AtLeastZero(gridWidth - 2 * B), B);
    DownPanel->resize(AtLeastZero(gridWidth - 2 * B), B);
    PlaceRightAndBottomPieces();
    SetTitleFonts(MineGrid->ColCount());
}

void TBoardFrame::PlaceRightAndBottomPieces()
{
    constexpr int B = EdgeButtonSize;
    // Lower pieces: each goes right under the one above it.
    SpLeftD->move(1, LeftPanel->y() + LeftPanel->height());
    SpLeftDown->move(1, SpLeftD->y() + SpLeftD->height());
    const int bottom = SpLeftDown->y();

    // Right-hand pieces: each goes right beside the one to its left.
    SpUpR->move(UpPanel->x() + UpPanel->width(), 1);
    SpRightUp->move(SpUpR->x() + SpUpR->width(), 1);
    const int right = SpRightUp->x();
    SpRightU->move(right, B + 1);
    RightPanel->move(right, 2 * B + 1);
    SpRightD->move(right, SpLeftD->y());
    SpRightDown->move(right, bottom);

    SpDownL->move(B + 1, bottom);
    DownPanel->move(2 * B + 1, bottom);
    SpDownR->move(SpUpR->x(), bottom);
}

void TBoardFrame::SetTitleFonts(int cols)
{
    QFont upFont = UpPanel->font();
    upFont.setPointSize(cols <= 8 ? Scale.ScaledPoints(cols + 5) : Scale.ScaledPoints(16));
    UpPanel->setFont(upFont);
    // Only narrow boards shrink the lower caption; a wider board later keeps
    // the smaller font.
    if (cols < 7) {
        QFont downFont = DownPanel->font();
        downFont.setPointSize(std::max(1, Scale.ScaledPoints(cols + 2)));
        DownPanel->setFont(downFont);
    }
}
