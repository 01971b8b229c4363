#include "engine/Logging.h"

static bool logging = false;
static std::string folder = ".";

bool loggingEnabled()
{
    return logging;
}

void setLoggingEnabled(bool on)
{
    logging = on;
}

void setLogFolder(const std::string& path)
{
    folder = path;
}

std::string logPath(const char* name)
{
    return folder == "." ? std::string(name) : folder + "/" + name;
}
