#include "tools/vpimport/ResourceLimits.h"

#include <csignal>
#include <algorithm>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {

char timeoutMessage[1024];
size_t timeoutLength = 0;

extern "C" void outOfTime(int)
{
    // Only async-signal-safe calls here: the import was cut at any point.
    ssize_t written = write(STDERR_FILENO, timeoutMessage, timeoutLength);
    (void)written;
    _exit(1);
}

bool lower(int resource, rlim_t value)
{
    rlimit limit;
    if (getrlimit(resource, &limit) != 0)
        return false;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < value)
        value = limit.rlim_max;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < value)
        return true; // already tighter
    limit.rlim_cur = value;
    return setrlimit(resource, &limit) == 0;
}

} // namespace

bool limitResources(unsigned long long bytes, unsigned seconds, const std::string& what, std::string& error)
{
    std::signal(SIGXCPU, outOfTime);

#if defined(__SANITIZE_ADDRESS__)
    const bool capAddressSpace = false; // the sanitizer reserves terabytes of shadow memory
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    const bool capAddressSpace = false;
#else
    const bool capAddressSpace = true;
#endif
#else
    const bool capAddressSpace = true;
#endif
    if (capAddressSpace && !lower(RLIMIT_AS, rlim_t(bytes))) {
        error = "cannot limit the address space";
        return false;
    }
    if (!lower(RLIMIT_CPU, rlim_t(seconds))) {
        error = "cannot limit the processor time";
        return false;
    }
    // The message names the limit in force, which the caller's may have
    // made tighter than ours.
    rlimit limit;
    getrlimit(RLIMIT_CPU, &limit);
    std::string message = "vpimport: " + what + ": took more than " + std::to_string(limit.rlim_cur) +
                          " s of processor time, given up\n";
    timeoutLength = std::min(message.size(), sizeof timeoutMessage);
    std::memcpy(timeoutMessage, message.data(), timeoutLength);
    return true;
}
