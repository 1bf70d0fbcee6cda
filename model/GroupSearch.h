#pragma once

// TGroupSearch: every placement of mines on one group of border cells that
// meets the numbers around them.

#include <cstddef>
#include <cstdint>
#include <vector>

// A group is a set of covered cells linked through the numbers they share,
// so that no number reaches two groups.  For each count of mines in the
// group the search records whether some placement has that count, and per
// cell whether such a placement put a mine on it and whether one left it
// free.  Cells are the group's own, 0..CellCount-1, searched in that order.
class TGroupSearch
{
public:
    // A number a cell counts towards, and how often the number's
    // neighbourhood visits the cell.
    struct TTerm {
        int Constraint;
        int Weight;
    };

    // needed[k]: the mines number k still asks for; terms[cell]: the numbers
    // the cell counts towards.  No placement has more than mineCap mines; a
    // search needing more than nodeLimit partial placements stops (0: no
    // limit).
    TGroupSearch(int cellCount, std::vector<int> needed, std::vector<std::vector<TTerm>> terms,
                 int mineCap, long nodeLimit);

    // False when the node limit cut the search short: then nothing it
    // recorded may be relied on.
    bool Run();
    // What Run returned.
    bool Finished() const { return Complete; }
    // The work Run did, counted as the solver counts it: a placement tried,
    // a number weighed, a cell recorded.
    long Steps() const { return StepCount; }

    int CellCount() const { return Cells; }
    bool CountOccurs(int mines) const { return CountSeen[mines]; }
    bool SeenAsMine(int cell, int mines) const { return Seen[Slot(cell, mines)] & SeenMine; }
    bool SeenAsFree(int cell, int mines) const { return Seen[Slot(cell, mines)] & SeenFree; }

private:
    static constexpr std::uint8_t SeenMine = 1;
    static constexpr std::uint8_t SeenFree = 2;

    std::size_t Slot(int cell, int mines) const
    {
        return static_cast<std::size_t>(cell) * (Cells + 1) + mines;
    }
    bool Place(int cell, int mines);
    bool Assign(int cell, int mine);
    void Unassign(int cell, int mine);
    void Record(int mines);

    int Cells;
    std::vector<int> Needed;
    std::vector<std::vector<TTerm>> Terms;
    int MineCap;
    long NodeLimit;
    long NodeCount = 0;
    long StepCount = 0;
    bool Complete = false;
    std::vector<int> Sum;
    std::vector<int> Room;
    std::vector<std::uint8_t> Assigned;
    std::vector<std::uint8_t> CountSeen;
    std::vector<std::uint8_t> Seen;
};
