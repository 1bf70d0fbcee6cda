// Another copy of the game, as far as "Ferrox game.sav" goes: the shared
// file tests start several of these and kill some at random moments.
//
//   saved_game_writer keep FOLDER KEEPER COUNT
//       keeps COUNT times the same game of KEEPER with the seconds 0, 1, ...,
//       and prints "kept SECONDS" or "failed SECONDS" after each
//   saved_game_writer take FOLDER
//       takes the newest game and prints "took KEEPER SECONDS" or "none"

#include "app/SavedGameFile.h"
#include "model/MineGame.h"
#include "support/LaidBoard.h"

#include <cstdio>
#include <cstdlib>

namespace
{

// A board of its own size is a custom board.
void Custom(TMines &model)
{
    model.Level = LevelCustom;
}

TSavedGame GameOf(quint64 keeper, int seconds)
{
    TMineGame game(TMines::TStoreUse::None);
    TLaidBoard::Lay(game, {"1*..", "11..", "...."}, Custom);
    TSavedGame saved = *game.GameUnderWay();
    saved.Keeper = keeper;
    saved.Seconds = seconds;
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "keep") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const quint64 keeper = std::strtoull(argv[3], nullptr, 10);
        const int count = std::atoi(argv[4]);
        for (int seconds = 0; seconds < count; ++seconds) {
            const bool kept = KeepSavedGame(folder, GameOf(keeper, seconds));
            std::printf("%s %d\n", kept ? "kept" : "failed", seconds);
            std::fflush(stdout);
        }
        return 0;
    }
    if (argc == 3 && qstrcmp(argv[1], "take") == 0) {
        const TTakenGame taken = TakeSavedGame(QString::fromLocal8Bit(argv[2]), {101, 101});
        if (taken.Game)
            std::printf("took %llu %d\n", static_cast<unsigned long long>(taken.Game->Keeper),
                        taken.Game->Seconds);
        else
            std::printf("none\n");
        return 0;
    }
    std::fprintf(stderr, "usage: saved_game_writer keep FOLDER KEEPER COUNT | take FOLDER\n");
    return 2;
}
