#pragma once

// Lays a chosen board on a game: the one way to hand a game a board of the
// test's choosing, which the program itself can never call.

#include "model/MineGame.h"
#include "support/BoardPicture.h"

#include <functional>

class TLaidBoard
{
public:
    // Lays the picture (see BoardPicture.h) and begins the game on it, as
    // after a first opening; `first` prepares the model before the picture
    // is laid.  False (with a warning) on a bad picture.
    static bool Lay(TMineGame &game, const QStringList &picture,
                    const std::function<void(TMines &)> &first = {})
    {
        bool laid = false;
        game.BeginWithLaidBoard([&](TMines &model) {
            if (first)
                first(model);
            laid = BoardPicture::SetPicture(model, picture);
        });
        return laid;
    }
};
