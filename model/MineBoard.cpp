// The board, its cells, the screen maxima, the level presets and
// the rotation.  The rules are in MineRules.cpp, the settings in
// MineSettings.cpp.
#include "model/Mines.h"

#include <algorithm>

const TBoardSize LevelPresets[3] = {{8, 8, 10}, {16, 16, 40}, {30, 20, 99}};

namespace
{

int LimitToStorage(int value)
{
    // The plain formula passes the 101-slot storage on a screen 1791 pixels
    // wide or 1876 tall, and gives 0 or less on a tiny one.
    return std::clamp(value, 1, MaxSlots);
}

} // namespace

int MaxColsForWidth(int screenWidth)
{
    return LimitToStorage(Round((screenWidth - 65) / double(CellSize)));
}

int MaxRowsForHeight(int screenHeight)
{
    return LimitToStorage(Round((screenHeight - 150) / double(CellSize)));
}

TBoardLimits BoardLimitsForScreen(int screenWidth, int screenHeight)
{
    return {MaxColsForWidth(screenWidth), MaxRowsForHeight(screenHeight)};
}

void TMineField::Reset(int col, int row)
{
    MinesAround = 0;
    Queued = 0;
    Revealed = 0;
    Col = static_cast<quint8>(col);
    Row = static_cast<quint8>(row);
    State = msCovered;
    IsMine = false;
}

TMines::TMines(TStoreUse storeUse, const TGameEnvironment &environment)
    : StoreUse(storeUse), BoardLimits(environment.Limits),
      FieldStore(std::make_unique<TMineField[]>(MaxSlots * MaxSlots))
{
    // Every slot gets its cell, not only those below MaxCols x MaxRows: a
    // level preset larger than the screen (Hard on 640 x 480) must still have
    // its cells.  All 10201 cells take about 60 KB, allocated once.
    for (int col = 0; col < MaxSlots; ++col) {
        for (int row = 0; row < MaxSlots; ++row) {
            TMineField *cell = &FieldStore[col * MaxSlots + row];
            cell->Reset(col, row);
            Cells[col][row] = cell;
        }
    }
    // Room for every cell up front, so that no game allocates.
    RevealQueue.reserve(MaxSlots * MaxSlots);
    ChangedCells.reserve(MaxSlots * MaxSlots);
    Settings = environment.Settings;
    if (StoreUse == TStoreUse::LoadAndSave)
        LoadSettings();
    if (environment.RandomState)
        Generator.SetState(*environment.RandomState);
    else
        Generator.Seed(environment.Clock);
}

TMines::~TMines()
{
    if (StoreUse == TStoreUse::LoadAndSave)
        SaveSettings();
}

void TMines::ResetBoard()
{
    for (int col = 0; col < Cols; ++col) {
        for (int row = 0; row < Rows; ++row)
            Cells[col][row]->Reset(col, row);
    }
}

void TMines::ApplyLevel(int level)
{
    Level = static_cast<quint8>(level);
    if (level >= LevelEasy && level <= LevelHard) {
        const TBoardSize &preset = LevelPresets[level];
        Cols = static_cast<quint8>(preset.Cols);
        Rows = static_cast<quint8>(preset.Rows);
        Mines = preset.Mines;
    }
}

void TMines::MendBoard()
{
    if (Level > LevelHard) {
        Cols = static_cast<quint8>(std::clamp<int>(Cols, 1, BoardLimits.MaxCols));
        Rows = static_cast<quint8>(std::clamp<int>(Rows, 1, BoardLimits.MaxRows));
        // One cell has no room for a mine beside the first opening.
        if (Cols * Rows < 2) {
            if (Cols < BoardLimits.MaxCols)
                ++Cols;
            else if (Rows < BoardLimits.MaxRows)
                ++Rows;
            else
                ApplyLevel(LevelEasy); // a 1 x 1 screen: only a preset is left
        }
    }
    Mines = std::clamp(Mines, 1, Cols * Rows - 1);
}

void TMines::RotateBoard(int dx, int dy)
{
    dx = (dx > 0) - (dx < 0);
    dy = (dy > 0) - (dy < 0);
    // Straight moves in place, line by line; a diagonal is the horizontal
    // move followed by the vertical one, which holds on every board shape.
    if (dx != 0) {
        for (int row = 0; row < Rows; ++row) {
            if (dx > 0) {
                TMineField *held = Cells[Cols - 1][row];
                for (int col = Cols - 1; col > 0; --col)
                    Cells[col][row] = Cells[col - 1][row];
                Cells[0][row] = held;
            } else {
                TMineField *held = Cells[0][row];
                for (int col = 0; col < Cols - 1; ++col)
                    Cells[col][row] = Cells[col + 1][row];
                Cells[Cols - 1][row] = held;
            }
        }
    }
    if (dy != 0) {
        for (int col = 0; col < Cols; ++col) {
            TMineField **line = Cells[col];
            if (dy > 0)
                std::rotate(line, line + Rows - 1, line + Rows);
            else
                std::rotate(line, line + 1, line + Rows);
        }
    }
    RenumberCells();
}

void TMines::RenumberCells()
{
    for (int col = 0; col < Cols; ++col) {
        for (int row = 0; row < Rows; ++row) {
            TMineField *cell = Cells[col][row];
            cell->Col = static_cast<quint8>(col);
            cell->Row = static_cast<quint8>(row);
        }
    }
}
