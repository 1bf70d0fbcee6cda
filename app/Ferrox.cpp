// The program's entry: everything it does lives in the ferrox_app library,
// where the tests reach it.
#include "app/Program.h"

int main(int argc, char *argv[])
{
    return RunProgram(argc, argv);
}
