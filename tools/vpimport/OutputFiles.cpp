#include "tools/vpimport/OutputFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

bool writeWhole(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    std::string temporary = path + ".part" + std::to_string(getpid());
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int saved = errno;
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    if (ok)
        saved = errno;
    error = path + ": " + std::strerror(saved ? saved : EIO);
    std::remove(temporary.c_str());
    return false;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
