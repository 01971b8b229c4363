#include "platform/ProcessMemory.h"

#include <cstdio>
#include <unistd.h>

namespace platform {

long residentMemoryKb()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    long pages = 0, resident = 0;
    const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

} // namespace platform
