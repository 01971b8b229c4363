#include "app/ProductionNames.h"

#include "resources/ArchiveFormat.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
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
    else if (key == "launcher")
        launcher = value;
    else if (key == "fullscreen")
        fullscreen = value;
    else if (key == "resolution")
        resolution = value;
    else
        return false;
    return true;
}

bool readProductionFile(const char* path, ProductionNames& names, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = std::string(path) + ": " + std::strerror(EISDIR);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
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
        // Editors on Windows start a UTF-8 file with a byte-order mark.
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
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
        // Quotes around the whole value keep the blanks at its ends.
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
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
            error = where + "unknown key '" + key +
                    "' (title, music, archive, password, launcher, fullscreen, resolution or render-target)";
            return false;
        }
        if (value.empty() && key != "password") {
            error = where + "'" + key + "' needs a value";
            return false;
        }
        if (key == "password" && !passwordFits(value)) {
            error = where + passwordTooLong();
            return false;
        }
    }
    return true;
}

bool passwordFits(const std::string& password)
{
    return password.size() <= archive::kMaxPasswordLength;
}

std::string passwordTooLong()
{
    return "the password is longer than the archive's limit of " + std::to_string(archive::kMaxPasswordLength) + " characters";
}
