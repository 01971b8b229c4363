#include "app/CommandLine.h"

int main(int argc, char** argv)
{
    return playerMain(argc, argv);
}
