#include "model/GroupSearch.h"

#include <utility>

TGroupSearch::TGroupSearch(int cellCount, std::vector<int> needed,
                           std::vector<std::vector<TTerm>> terms, int mineCap, long nodeLimit)
    : Cells(cellCount), Needed(std::move(needed)), Terms(std::move(terms)), MineCap(mineCap),
      NodeLimit(nodeLimit), Sum(Needed.size(), 0), Room(Needed.size(), 0), Assigned(cellCount, 0),
      CountSeen(cellCount + 1, 0), Seen(static_cast<size_t>(cellCount) * (cellCount + 1), 0)
{
    for (const std::vector<TTerm> &cellTerms : Terms)
        for (const TTerm &term : cellTerms)
            Room[term.Constraint] += term.Weight;
}

bool TGroupSearch::Run()
{
    Complete = Place(0, 0);
    return Complete;
}

bool TGroupSearch::Place(int cell, int mines)
{
    ++StepCount;
    if (++NodeCount > NodeLimit && NodeLimit > 0)
        return false;
    if (cell == Cells) {
        Record(mines);
        return true;
    }
    for (int mine : {0, 1}) {
        if (mine && mines == MineCap)
            continue;
        if (Assign(cell, mine) && !Place(cell + 1, mines + mine)) {
            Unassign(cell, mine);
            return false;
        }
        Unassign(cell, mine);
    }
    return true;
}

// Sets the cell and says whether every number it touches can still be met.
bool TGroupSearch::Assign(int cell, int mine)
{
    Assigned[cell] = static_cast<std::uint8_t>(mine);
    StepCount += 2 * static_cast<long>(Terms[cell].size());
    bool possible = true;
    for (const TTerm &term : Terms[cell]) {
        Room[term.Constraint] -= term.Weight;
        Sum[term.Constraint] += mine * term.Weight;
        const int sum = Sum[term.Constraint];
        if (sum > Needed[term.Constraint] || sum + Room[term.Constraint] < Needed[term.Constraint])
            possible = false;
    }
    return possible;
}

void TGroupSearch::Unassign(int cell, int mine)
{
    for (const TTerm &term : Terms[cell]) {
        Room[term.Constraint] += term.Weight;
        Sum[term.Constraint] -= mine * term.Weight;
    }
}

void TGroupSearch::Record(int mines)
{
    CountSeen[mines] = 1;
    StepCount += Cells;
    for (int cell = 0; cell < Cells; ++cell)
        Seen[Slot(cell, mines)] |= Assigned[cell] ? SeenMine : SeenFree;
}
