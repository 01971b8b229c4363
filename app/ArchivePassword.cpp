#include "app/ArchivePassword.h"

#include "resources/ArchiveReader.h"

#include <cstdlib>

namespace {

// Where the password was set, and how to change it. Short: the error box
// holds 200 characters.
std::string origin(PasswordSource source)
{
    switch (source) {
    case PasswordSource::Option:
        return "--password";
    case PasswordSource::ProductionFile:
        return "production.ini's password key; --password overrides it";
    case PasswordSource::Default:
        break;
    }
    return "the default; set it with --password or production.ini's password key";
}

} // namespace

std::string archivePasswordProblem(const std::string& archive, const std::string& member, const std::string& password,
                                   PasswordSource source)
{
    if (findMember(archive.c_str(), member.c_str()) != ArchiveMember::Encrypted)
        return std::string();
    unsigned char* data = nullptr;
    uint32_t size = 0;
    const int status = extractMember(archive.c_str(), member.c_str(), password.c_str(), &data, &size);
    std::free(data);
    if (status == 1)
        return std::string();
    const std::string what = member + " in " + archive;
    if (password.empty())
        return "no password was given (" + origin(source) + "), but " + what + " is encrypted";
    return "the password is probably wrong (" + origin(source) + "): " + what + " does not decrypt";
}
