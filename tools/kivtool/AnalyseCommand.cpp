#include "tools/kivtool/AnalyseCommand.h"

#include <cstdio>

int RunAnalyseCommand(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::fputs("kivtool analyse: not available yet\n", stderr);
    return 2;
}
