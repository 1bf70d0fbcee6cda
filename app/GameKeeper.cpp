#include "app/GameKeeper.h"

#include "app/SavedGameFile.h"
#include "model/MineGame.h"

#include <QRandomGenerator>

TGameKeeper::TGameKeeper(const QString &folder, quint64 keeper, QObject *parent)
    : QObject(parent), Folder(folder),
      Keeper(keeper != 0 ? keeper : QRandomGenerator::system()->generate64() | 1)
{
}

bool TGameKeeper::ResumeNewest(TMineGame &game, const TBoardLimits &limits)
{
    const TTakenGame taken = TakeSavedGame(Folder, limits);
    if (taken.Game)
        game.ResumeGame(*taken.Game);
    return taken.Unreadable;
}

bool TGameKeeper::Keep(TMineGame &game)
{
    if (std::optional<TSavedGame> underWay = game.GameUnderWay()) {
        underWay->Keeper = Keeper;
        if (!KeepSavedGame(Folder, *underWay))
            return false;
        KeptBefore = true;
        game.MarkSavedForLater();
        return true;
    }
    // Only a copy that kept a game touches the folder: one that never did
    // leaves it as it found it.
    if (!KeptBefore)
        return true;
    KeptBefore = !DropSavedGame(Folder, Keeper);
    return !KeptBefore;
}
