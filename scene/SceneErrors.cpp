#include "scene/SceneErrors.h"

#include "gl/ErrorBox.h"

#include <cstdio>

namespace {
bool recoverable = false;
char lastMessage[kErrorTextSize] = "";

void keep(const char* message)
{
    std::snprintf(lastMessage, sizeof lastMessage, "%s", message ? message : "");
}
} // namespace

bool sceneError(const char* message)
{
    if (recoverable) {
        keep(message);
        return false;
    }
    errorBox(message, true);
    return false;
}

void sceneWarning(const char* message)
{
    if (recoverable) {
        keep(message);
        return;
    }
    errorBox(message, false);
}

void setSceneErrorsRecoverable(bool on)
{
    recoverable = on;
    lastMessage[0] = '\0';
}

bool sceneErrorsRecoverable()
{
    return recoverable;
}

const char* lastSceneError()
{
    return lastMessage;
}
