#pragma once

// TGameKeeper: one copy of the game's way to keep its game under way in
// the play folder when it ends, and to resume the newest kept game when it
// starts.

#include "model/GameEnvironment.h"

#include <QObject>
#include <QString>

class TMineGame;

class TGameKeeper : public QObject
{
    Q_OBJECT

public:
    // The kept games are in "Ferrox game.sav" in `folder`.  `keeper` tells
    // this copy's entry from the others' (0: a number of its own at random).
    explicit TGameKeeper(const QString &folder, quint64 keeper = 0, QObject *parent = nullptr);

    // At start: takes the newest kept game that fits `limits` out of the
    // file and resumes it, paused, on `game`.  True when the file could not
    // be read and was moved aside: the game stays a new game.
    bool ResumeNewest(TMineGame &game, const TBoardLimits &limits);

    // At an end (and when the session saves itself): the game under way is
    // kept, in place of what this copy kept before, and marked as saved for
    // later; with none, what this copy kept before goes.  A game resumed at
    // start was taken out of the file then, so a game that is over by now
    // leaves nothing behind.  False when the file could not be written.
    bool Keep(TMineGame &game);

    quint64 KeeperId() const { return Keeper; }

private:
    QString Folder;
    quint64 Keeper;
    bool KeptBefore = false;
};
