#include "app/CommandLine.h"

int playerMain(int, char**)
{
    return 0;
}
