#include "app/ProductionNames.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

} // namespace

std::string ProductionNames::launcherCaption() const
{
    const ProductionNames sample;
    return title == sample.title ? "Velmor Process - " + title : title;
}

bool ProductionNames::set(const std::string& key, const std::string& value)
{
    if (key == "title")
        title = value;
    else if (key == "music")
        music = value;
    else if (key == "archive")
        archive = value;
    else if (key == "password")
        password = value;
    else
        return false;
    return true;
}

bool readProductionFile(const char* path, ProductionNames& names, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        if (errno == ENOENT)
            return true;
        error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string text = trimmed(line);
        if (text.empty() || text[0] == '#' || text[0] == ';')
            continue;
        const std::string where = std::string(path) + ":" + std::to_string(number) + ": ";
        size_t equals = text.find('=');
        if (equals == std::string::npos) {
            error = where + "expected 'key = value', found '" + text + "'";
            return false;
        }
        std::string key = trimmed(text.substr(0, equals));
        std::string value = trimmed(text.substr(equals + 1));
        if (key.empty()) {
            error = where + "a value without a key";
            return false;
        }
        if (key == "render-target") {
            if (!parseRenderTargetSizing(value, names.renderTarget)) {
                error = where + "bad render-target '" + value + "' (a side in pixels, 16 to 16384, or window)";
                return false;
            }
            continue;
        }
        if (!names.set(key, value)) {
            error = where + "unknown key '" + key + "' (title, music, archive, password or render-target)";
            return false;
        }
        if (value.empty() && key != "password") {
            error = where + "'" + key + "' needs a value";
            return false;
        }
    }
    return true;
}
