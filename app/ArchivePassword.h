#pragma once
// A production's archive read with the wrong password fails on every file,
// the script first, with messages that never mention the password. Before a
// run or --check reads the archive, the script is extracted once; when it is
// in the archive, encrypted, and does not come out, the player says that the
// password is probably wrong, and where that password was set.

#include <string>

enum class PasswordSource {
    Option,         // --password
    ProductionFile, // the password key of production.ini
    Default,        // neither: the sample production's
};

// Empty when `member` extracts from `archive` with `password`, is missing,
// or is not encrypted (other messages cover those); else the message.
std::string archivePasswordProblem(const std::string& archive, const std::string& member, const std::string& password,
                                   PasswordSource source);
