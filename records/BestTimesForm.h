#pragma once

// TBestTimesForm: the "Best Times" window, every board's best time and the
// history of the board chosen in it.

#include "records/GameHistory.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidget;

// The best time of every board of both best-times files, one row each (the
// No Guessing list's marked), sortable by each column, beside the boards the
// history alone knows.  For the chosen board: its ten best won games from
// the history, with time, name and date (in the desktop's locale), and its
// statistics.  The best-times file's record is the board's best time even
// where the history knows of no such game.  The window writes nothing,
// except that "Reset..." forgets the chosen board's history once the player
// has said yes (AskQuestion); the best-times files are never touched.
//
// Controls carry object names for tests: "BoardList", "GameList",
// "BoardTitle", "ResetButton", "CloseButton" and the statistics "StatPlayed",
// "StatWon", "StatLost", "StatAbandoned", "StatPercent", "StatCurrentStreak",
// "StatLongestStreak", "StatAverage".
class TBestTimesForm : public QDialog
{
    Q_OBJECT

public:
    // The board list's columns.
    enum TColumn { bcBoard, bcList, bcTime, bcHolder };

    explicit TBestTimesForm(QWidget *parent = nullptr);

    // Reads the files of `folder` and shows them with `current` chosen.
    void Load(const QString &folder, const THistoryBoard &current);
    // Load, then shows the window modally until Close, Escape or the close box.
    void Execute(const QString &folder, const THistoryBoard &current);

    // The board chosen in the list (the current one when none is).
    THistoryBoard SelectedBoard() const;

    // "Easy", "Medium", "Hard", or "columns x rows / mines".
    static QString BoardName(int cols, int rows, int mines);

private:
    void CreateControls();
    QWidget *CreateStatistics();
    void FillBoards(const THistoryBoard &current);
    void ShowSelectedBoard();
    void ResetSelectedBoard();

    QTreeWidget *BoardList = nullptr;
    QLabel *BoardTitle = nullptr;
    QTreeWidget *GameList = nullptr;
    QList<QLabel *> StatValues;
    QPushButton *ResetButton = nullptr;
    QPushButton *CloseButton = nullptr;

    QString Folder;
    TGameHistory History;
};
