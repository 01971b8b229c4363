#include "app/CheckErrorLines.h"

std::string checkErrorLines(const char* heading, const std::string& output)
{
    std::string lines = std::string(heading) + "\n";
    std::string errorPlace; // "FILE:LINE: " of the last error kept, empty for none
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = output.substr(at, end - at);
        at = end + 1;
        const size_t error = line.find(": error: ");
        if (error != std::string::npos) {
            lines += line + "\n";
            errorPlace = line.substr(0, error + 2);
        } else if (line.rfind("error: ", 0) == 0) {
            lines += line + "\n";
            errorPlace.clear();
        } else if (!errorPlace.empty() && line.rfind(errorPlace + "note: ", 0) == 0) {
            lines += line + "\n";
        }
    }
    return lines;
}
