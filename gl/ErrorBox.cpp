#include "gl/ErrorBox.h"

#include "platform/MessageBox.h"

#include <GL/gl.h>

#include <cstdio>

static std::string& fatalNotes()
{
    static std::string lines;
    return lines;
}

void setFatalErrorNotes(const std::string& lines)
{
    fatalNotes() = lines;
}

static void show(const char* message, bool fatal)
{
    showMessageBox("error", message, fatal ? BoxIcon::Stop : BoxIcon::None);
    if (fatal) {
        std::fputs(fatalNotes().c_str(), stderr);
        exitProcess(1);
    }
}

void errorBox(const char* text, bool fatal)
{
    char buffer[kErrorTextSize];
    std::snprintf(buffer, sizeof buffer, "%s", text ? text : "");
    show(buffer, fatal);
}

void errorBoxInt(const char* text, int value, bool fatal)
{
    char buffer[kErrorTextSize];
    std::snprintf(buffer, sizeof buffer, "%s: %i", text ? text : "", value);
    show(buffer, fatal);
}

void errorBoxStr(const char* text, const char* detail, bool fatal)
{
    char buffer[kErrorTextSize];
    std::snprintf(buffer, sizeof buffer, "%s: %s", text ? text : "", detail ? detail : "");
    show(buffer, fatal);
}

const char* glErrorName(unsigned int code)
{
    switch (code) {
    case 0x0500: return "GL_INVALID_ENUM";
    case 0x0501: return "GL_INVALID_VALUE";
    case 0x0502: return "GL_INVALID_OPERATION";
    case 0x0503: return "GL_STACK_OVERFLOW";
    case 0x0504: return "GL_STACK_UNDERFLOW";
    case 0x0505: return "GL_OUT_OF_MEMORY";
    default: return "Unknown error";
    }
}

void checkGLError(const char* place)
{
    GLenum error = glGetError();
    if (error == GL_NO_ERROR)
        return;
    char what[kErrorTextSize];
    std::snprintf(what, sizeof what, "GL error (%s) in", glErrorName(error));
    errorBoxStr(what, place, true);
}
