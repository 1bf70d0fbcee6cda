#pragma once

// The whole program behind `ferrox`: the command line, the play folder, the
// ways of ending, the main window and the game kept between runs.

// Runs the game as the executable does and returns its exit status: non-zero
// when it could not start (the reason shown in a box and on the standard
// error).
int RunProgram(int &argc, char *argv[]);
