#include "platform/AudioDrivers.h"

namespace platform {

std::vector<std::string> audioDriversToTry(const std::string& forced, const char* environment,
                                           const std::vector<std::string>& available)
{
    if (!forced.empty())
        return {forced};
    std::vector<std::string> order{std::string()};
    if (environment && *environment)
        return order;
    for (const std::string& name : available) {
        // "disk" writes a file and "dummy" discards: neither is heard.
        if (name.empty() || name == "disk" || name == "dummy")
            continue;
        bool seen = false;
        for (const std::string& other : order)
            seen = seen || other == name;
        if (!seen)
            order.push_back(name);
    }
    return order;
}

} // namespace platform
