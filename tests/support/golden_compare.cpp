// Compares pictures for the shell tests:
//   golden_compare <folder/name> <picture.png>
//     the picture against a golden, under that golden's tolerance;
//   golden_compare --same <a.png> <b.png>
//     two pictures, pixel for pixel.
// Prints one line with the errors found and exits 0 when the pictures match,
// 1 when they do not, 2 when a picture cannot be read or on a wrong command
// line: an unreadable picture never counts as a match or as a difference.

#include "support/GoldenCompare.h"

#include <cstdio>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: golden_compare <folder/name> <picture.png>\n"
                         "       golden_compare --same <a.png> <b.png>\n");
    return 2;
}

int report(const golden::Verdict& verdict)
{
    std::printf("%s %s\n", verdict.ok ? "ok" : "FAIL", verdict.message.c_str());
    return verdict.ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    golden::Picture got;
    std::string error;
    if (argc == 4 && std::strcmp(argv[1], "--same") == 0) {
        golden::Picture other;
        if (!golden::readPng(argv[2], got, error) || !golden::readPng(argv[3], other, error)) {
            std::printf("FAIL no usable picture: %s\n", error.c_str());
            return 2;
        }
        return report(golden::judge(got, other, golden::Tolerance{}));
    }
    if (argc != 3 || argv[1][0] == '-')
        return usage();
    if (!golden::readPng(argv[2], got, error)) {
        std::printf("FAIL %s: no usable picture %s\n", argv[1], error.c_str());
        return 2;
    }
    return report(golden::check(argv[1], got));
}
