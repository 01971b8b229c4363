// effecttable: prints the manual's effect reference, made from the effect
// registry and the effects' signal declarations.
//   effecttable                  print it
//   effecttable --check FILE     exit 1, with a diff, when FILE's copy differs
//   effecttable --write FILE     replace FILE's copy
#include "tools/effecttable/EffectTable.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The first differing line of each side, with its line number in the file.
void reportDifference(const char* file, size_t firstLine, const std::string& have, const std::string& want)
{
    std::vector<std::string> a = lines(have), b = lines(want);
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    std::fprintf(stderr, "%s:%zu: the effect table differs from the effects' declarations\n", file,
                 firstLine + i);
    std::fprintf(stderr, "- %s\n+ %s\n", i < a.size() ? a[i].c_str() : "(end of table)",
                 i < b.size() ? b[i].c_str() : "(end of table)");
    std::fprintf(stderr, "run `effecttable --write %s` and read the change\n", file);
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    const std::string table = effecttable::render(error);
    if (table.empty()) {
        std::fprintf(stderr, "effecttable: %s\n", error.c_str());
        return 1;
    }
    if (argc == 1) {
        std::fputs(table.c_str(), stdout);
        return 0;
    }
    if (argc != 3 || (std::strcmp(argv[1], "--check") != 0 && std::strcmp(argv[1], "--write") != 0)) {
        std::fprintf(stderr, "usage: effecttable [--check FILE | --write FILE]\n");
        return 2;
    }
    const char* file = argv[2];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "effecttable: cannot read %s\n", file);
        return 1;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    const size_t begin = text.find(effecttable::kBeginMarker);
    const std::string endMarker = std::string(effecttable::kEndMarker) + "\n";
    const size_t end = begin == std::string::npos ? begin : text.find(endMarker, begin);
    if (end == std::string::npos) {
        std::fprintf(stderr, "%s: no effect table between the markers\n", file);
        return 1;
    }
    const std::string have = text.substr(begin, end + endMarker.size() - begin);
    if (std::strcmp(argv[1], "--check") == 0) {
        if (have == table)
            return 0;
        size_t line = 1;
        for (size_t i = 0; i < begin; ++i)
            line += text[i] == '\n';
        reportDifference(file, line, have, table);
        return 1;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text.substr(0, begin) << table << text.substr(end + endMarker.size());
    if (!out) {
        std::fprintf(stderr, "effecttable: cannot write %s\n", file);
        return 1;
    }
    return 0;
}
