#pragma once

// TBoardFrame: the sunken panel around the board grid, with the twelve edge
// buttons, the two filler panels and the two title panels.

#include "controls/BevelPanel.h"
#include "controls/FormScaleUnit.h"

#include <QList>

class TBoardView;
class TMineGame;
class TTitlePanel;
class TfxRepeatBtn;

class TBoardFrame : public TBevelPanel
{
    Q_OBJECT

public:
    // Every piece is named after its place (SpLeftUp, UpPanel, ...) and can
    // be found with findChild.  The fonts follow the screen's `scale`.
    TBoardFrame(TMineGame &game, const TFormScale &scale, QWidget *parent = nullptr);

    TBoardView *Grid() const { return MineGrid; }
    // The lower title panel, where the version and the music's titles show.
    TBevelPanel *MusicPanel() const { return DownPanel; }
    void SetEdgeButtonsEnabled(bool enabled);

    // Sizes the grid to the game's board and every piece around it; the
    // frame takes the size that holds them.
    void Layout();

signals:
    // An edge button asks to move the board's contents by one cell in
    // direction (dx, dy), each -1..1; +1 is right and down.
    void moveRequested(QPoint direction);
    // The title panel above the board was clicked.
    void newGameClicked();

private slots:
    // The edge buttons' handlers, named for the way they move the contents.
    void SBDown();
    void SBUp();
    void SBLeft();
    void SBRight();
    void SBDownRight();
    void SBDownLeft();
    void SBUpRight();
    void SBUpLeft();
    void UpPanelClick();

private:
    TfxRepeatBtn *CreateEdgeButton(const char *name, int arrow, void (TBoardFrame::*handler)(),
                                   QPoint place = {});
    TBevelPanel *CreateFillerPanel(const char *name);
    void CreateTitlePanels();
    void PlaceRightAndBottomPieces();
    void SetTitleFonts(int cols);
    // Clockwise from the top-left corner.
    QList<TfxRepeatBtn *> EdgeButtons() const;

    TFormScale Scale;

    TBoardView *MineGrid = nullptr;
    TfxRepeatBtn *SpLeftUp = nullptr;
    TfxRepeatBtn *SpUpL = nullptr;
    TfxRepeatBtn *SpUpR = nullptr;
    TfxRepeatBtn *SpRightUp = nullptr;
    TfxRepeatBtn *SpLeftU = nullptr;
    TfxRepeatBtn *SpLeftD = nullptr;
    TfxRepeatBtn *SpRightU = nullptr;
    TfxRepeatBtn *SpRightD = nullptr;
    TfxRepeatBtn *SpLeftDown = nullptr;
    TfxRepeatBtn *SpDownL = nullptr;
    TfxRepeatBtn *SpDownR = nullptr;
    TfxRepeatBtn *SpRightDown = nullptr;
    TTitlePanel *UpPanel = nullptr;
    TBevelPanel *DownPanel = nullptr;
    TBevelPanel *LeftPanel = nullptr;
    TBevelPanel *RightPanel = nullptr;
};
