#include "engine/Logging.h"

static bool logging = false;

bool loggingEnabled()
{
    return logging;
}

void setLoggingEnabled(bool on)
{
    logging = on;
}
