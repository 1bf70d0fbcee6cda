#pragma once

// Boards as small ASCII pictures, one string per row, one character per cell:
//
//   .  covered safe cell          *  covered mine
//   f  safe cell marked as mine   F  mine marked as mine
//   ?  question-marked safe cell  Q  question-marked mine
//   0..8 or o  open safe cell (a digit must equal the cell's neighbour count)
//   X  exploded mine              O  mine shown open after a loss (msOpen)
//   W  wrong mark (msWrongFlag)   M  found mine (msFoundMine)
//
// SetPicture lays a picture on the model; Picture reads the model back in the
// same characters (open safe cells as their digit).  The neighbour counts are
// computed here, independently of the model's own walk, from the game's rule.

#include "model/Mines.h"

#include <QStringList>
#include <QTest>

namespace BoardPicture
{

// The game's neighbourhood, written independently of TMines: the other
// positions of the 3 x 3 block, off-board ones skipped with borders, wrapped
// (mod) without; a wrapped position equal to the cell itself is skipped, one
// reached twice counts twice.
inline int CountMinesAround(const QStringList &mines, int cols, int rows, bool borders, int col,
                            int row)
{
    auto isMine = [&](int c, int r) {
        const QChar ch = mines[r][c];
        return ch == '*' || ch == 'F' || ch == 'Q' || ch == 'X' || ch == 'O' || ch == 'M';
    };
    int count = 0;
    for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
            int c = col + dc;
            int r = row + dr;
            if (borders && (c < 0 || c >= cols || r < 0 || r >= rows))
                continue;
            c = ((c % cols) + cols) % cols;
            r = ((r % rows) + rows) % rows;
            if (c == col && r == row)
                continue;
            if (isMine(c, r))
                ++count;
        }
    }
    return count;
}

// Puts the picture on the board: Cols/Rows from its size, cells reset, mines,
// marks and open cells set, MinesAround computed, Mines = mines in the
// picture, MinesLeft = Mines - marks, CoveredSafe = safe cells not open.
// Returns false (with a test failure) on a bad picture.
inline bool SetPicture(TMines &model, const QStringList &picture)
{
    const int rows = int(picture.size());
    const int cols = rows ? int(picture[0].size()) : 0;
    if (rows < 1 || cols < 1 || rows > MaxSlots || cols > MaxSlots) {
        qWarning("bad picture size");
        return false;
    }
    model.Cols = quint8(cols);
    model.Rows = quint8(rows);
    model.ResetBoard();
    model.RevealQueue.clear();
    model.ChangedCells.clear();
    int mines = 0;
    int marks = 0;
    int coveredSafe = 0;
    for (int r = 0; r < rows; ++r) {
        if (picture[r].size() != cols) {
            qWarning("ragged picture");
            return false;
        }
        for (int c = 0; c < cols; ++c) {
            TMineField *cell = model.Cells[c][r];
            const QChar ch = picture[r][c];
            cell->MinesAround = quint8(CountMinesAround(picture, cols, rows, model.Borders, c, r));
            bool open = false;
            switch (ch.toLatin1()) {
            case '.':
                break;
            case '*':
                cell->IsMine = true;
                break;
            case 'f':
                cell->State = msFlagged;
                break;
            case 'F':
                cell->IsMine = true;
                cell->State = msFlagged;
                break;
            case '?':
                cell->State = msQuestion;
                break;
            case 'Q':
                cell->IsMine = true;
                cell->State = msQuestion;
                break;
            case 'X':
                cell->IsMine = true;
                cell->State = msExploded;
                open = true;
                break;
            case 'O':
                cell->IsMine = true;
                cell->State = msOpen;
                open = true;
                break;
            case 'W':
                cell->State = msWrongFlag;
                break;
            case 'M':
                cell->IsMine = true;
                cell->State = msFoundMine;
                break;
            case 'o':
                cell->State = msOpen;
                open = true;
                break;
            default:
                if (ch >= '0' && ch <= '8') {
                    if (ch.digitValue() != cell->MinesAround) {
                        qWarning("picture digit %c at (%d,%d) but %d mines around", ch.toLatin1(),
                                 c, r, cell->MinesAround);
                        return false;
                    }
                    cell->State = msOpen;
                    open = true;
                    break;
                }
                qWarning("bad picture character %c", ch.toLatin1());
                return false;
            }
            if (open) {
                cell->Queued = 1;
                cell->Revealed = 1;
            }
            if (cell->IsMine)
                ++mines;
            if (cell->State == msFlagged)
                ++marks;
            if (!cell->IsMine && !open)
                ++coveredSafe;
        }
    }
    model.Mines = mines;
    model.MinesLeft = mines - marks;
    model.CoveredSafe = coveredSafe;
    return true;
}

inline QChar CellChar(const TMineField &cell)
{
    switch (cell.State) {
    case msOpen:
        return cell.IsMine ? QChar('O') : QChar('0' + cell.MinesAround);
    case msCovered:
        return cell.IsMine ? QChar('*') : QChar('.');
    case msFlagged:
        return cell.IsMine ? QChar('F') : QChar('f');
    case msQuestion:
        return cell.IsMine ? QChar('Q') : QChar('?');
    case msExploded:
        return QChar('X');
    case msWrongFlag:
        return QChar('W');
    case msFoundMine:
        return QChar('M');
    }
    return QChar('!');
}

// The board as a picture, row by row.
inline QStringList Picture(const TMines &model)
{
    QStringList picture;
    for (int r = 0; r < model.Rows; ++r) {
        QString line;
        for (int c = 0; c < model.Cols; ++c)
            line += CellChar(*model.Cells[c][r]);
        picture << line;
    }
    return picture;
}

} // namespace BoardPicture
