// Built only by the test_model_sealed_* tests, each with one SEALED_* macro
// defined, and expected not to compile: whoever holds the game can read its
// model but cannot change it past the game's own moves.
#include "model/MineGame.h"

void ReadAndWrite(TMineGame &game)
{
    const TMines &model = game.Model();
    // Reading stays possible.
    const TMineField &first = *model.Cells[0][0];
    static_cast<void>(first.State);
#if defined(SEALED_CELLS)
    model.Cells[0][0]->State = msOpen;
#elif defined(SEALED_QUEUES)
    for (const TMineField *cell : model.ChangedCells)
        static_cast<void>(cell);
    (*model.RevealQueue.begin())->IsMine = true;
#elif defined(SEALED_LAYING)
    game.BeginWithLaidBoard([](TMines &) {});
#endif
}
