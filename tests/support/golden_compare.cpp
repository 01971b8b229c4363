// Compares a picture file with a golden under that golden's tolerance, for the
// shell tests:
//   golden_compare <folder/name> <picture.png>
// prints one line with the errors found and exits 0 when the picture matches,
// 1 when it does not or anything goes wrong, 2 on a wrong command line.

#include "support/GoldenCompare.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: golden_compare <folder/name> <picture.png>\n");
        return 2;
    }
    golden::Picture got;
    std::string error;
    golden::Verdict verdict;
    if (!golden::readPng(argv[2], got, error))
        verdict = {false, std::string(argv[1]) + ": no usable picture " + error};
    else
        verdict = golden::check(argv[1], got);
    std::printf("%s %s\n", verdict.ok ? "ok" : "FAIL", verdict.message.c_str());
    return verdict.ok ? 0 : 1;
}
