#pragma once

// Round: the rounding rule of the whole program.  Every computed size,
// position or font size rounds to the nearest integer, a tie going to the
// even neighbour.  Round(44.5) == 44, Round(7.5) == 8, Round(-2.5) == -2.
int Round(double value);
