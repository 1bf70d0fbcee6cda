#pragma once

// TBoardFrame: the sunken panel around the board grid, with the twelve edge
// buttons, the two filler panels and the two title panels.

#include "controls/BevelPanel.h"

#include <QList>

class TBoardView;
class TMineGame;
class TfxRepeatBtn;

class TBoardFrame : public TBevelPanel
{
    Q_OBJECT

public:
    // Every piece is named after its place (SpLeftUp, UpPanel, ...) and can
    // be found with findChild.
    TBoardFrame(TMineGame &game, QWidget *parent = nullptr);

    TBoardView *Grid() const { return MineGrid; }
    TBevelPanel *TitlePanel() const { return UpPanel; }
    TBevelPanel *MusicPanel() const { return DownPanel; }
    // Clockwise from the top-left corner.
    QList<TfxRepeatBtn *> EdgeButtons() const;
    void SetEdgeButtonsEnabled(bool enabled);

    // Sizes the grid to the game's board and every piece around it; the
    // frame takes the size that holds them.
    void Layout();

private:
    TfxRepeatBtn *CreateEdgeButton(const char *name, int arrow, QPoint place = {});
    TBevelPanel *CreateFillerPanel(const char *name);
    void CreateTitlePanels();
    void PlaceRightAndBottomPieces();
    void SetTitleFonts(int cols);

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
    TBevelPanel *UpPanel = nullptr;
    TBevelPanel *DownPanel = nullptr;
    TBevelPanel *LeftPanel = nullptr;
    TBevelPanel *RightPanel = nullptr;
};
