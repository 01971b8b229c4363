// Linked into the release player only (app/CMakeLists.txt), which must run
// on glibc 2.35, the C library of Ubuntu 22.04. The static C++ library of
// GCC 12 draws random_device's numbers from arc4random, which glibc has only
// since 2.36; the link sends those calls here (-Wl,--wrap=arc4random), to
// getrandom, which glibc has had since 2.25.
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/random.h>

extern "C" uint32_t __wrap_arc4random(void)
{
    uint32_t value = 0;
    for (;;) {
        if (getrandom(&value, sizeof value, 0) == static_cast<ssize_t>(sizeof value))
            return value;
        if (errno != EINTR)
            break;
    }
    // No kernel source of randomness: the engine draws no secrets from it.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_nsec) ^ static_cast<uint32_t>(now.tv_sec) * 2654435761u;
}
