#pragma once
// The data archive reader: extracts one member of a RAR 2.x archive (stored or
// compressed with the RAR 2.0 algorithm, optionally encrypted with a password)
// into one heap block. Each call opens the archive file anew, walks its blocks
// from the start, and closes it again; nothing is kept between calls but the
// decoder's 1 MiB window, zeroed, for the thread's next call.

#include <cstddef>
#include <cstdint>

// Extracts `memberName` from the archive file `archivePath`. Names match when
// they are equal after "\" and "/" become "_" and both are upper-cased, so
// "data/testscript.scr" finds "DATA\TESTSCRIPT.SCR". `password` may be null or
// empty for an archive without encryption.
// Returns 1 on success: *data is a malloc block of exactly *size bytes of the
// member's content, owned by the caller (free it with free). Returns 0 on any
// failure, with *data null and *size 0, and shows no message.
int extractMember(const char* archivePath, const char* memberName, const char* password, unsigned char** data,
                  uint32_t* size);

// What the archive's headers say of one member, without extracting it: for
// messages, since a member that will not extract while it is encrypted
// almost always means a wrong password.
enum class ArchiveMember { Missing, Plain, Encrypted };
ArchiveMember findMember(const char* archivePath, const char* memberName);

// Called at the end of every extractMember, once its own copy of the password
// has been wiped, with that copy's bytes (all zero by then); for checking the
// wipe. Null (the default) calls nothing.
using PasswordWipeCheck = void (*)(const unsigned char* copy, size_t size);
void setPasswordWipeCheck(PasswordWipeCheck check);
