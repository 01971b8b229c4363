#include "app/Screenshot.h"

#include <cstdio>
#include <sys/stat.h>

std::string nextScreenshotPath(const std::string& folder)
{
    char name[32];
    for (int n = 1; n <= 9999; ++n) {
        std::snprintf(name, sizeof name, "screenshot_%04d.png", n);
        std::string path = folder == "." ? std::string(name) : folder + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0)
            return path;
    }
    return std::string();
}
