// vp_makeprod: writes the sample production's generated data files into a
// folder: the scenes made from code, the textures and the tree file. The
// script is source (production/data), and so is the list of the scenes
// (production/scenes.txt), which also names the imported ones.
// Usage: vp_makeprod OUTPUT_DIR
// The output is the same on every run: the build regenerates it whenever the
// generator changes.
#include "tools/makeprod/GeneratedEffectsScenes.h"
#include "tools/makeprod/ImageLayerTextures.h"
#include "tools/makeprod/ProductionScenes.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    const char* usage = "usage: vp_makeprod OUTPUT_DIR\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        std::fputs("Writes the sample production's generated scenes, textures and tree file\n"
                   "into OUTPUT_DIR/data.\n",
                   stdout);
        return 0;
    }
    // An option is never taken for the folder to write ("./-x" names one).
    if (argc != 2 || argv[1][0] == '-') {
        if (argc >= 2 && argv[1][0] == '-')
            std::fprintf(stderr, "vp_makeprod: unknown option %s\n", argv[1]);
        std::fputs(usage, stderr);
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out / "data", ec);
    if (ec) {
        std::fprintf(stderr, "vp_makeprod: cannot create %s: %s\n", (out / "data").c_str(), ec.message().c_str());
        return 1;
    }
    if (!writeImageLayerTextures((out / "data" / "textures").string()))
        return 1;
    if (!writeProductionScenes((out / "data").string()))
        return 1;
    if (!writeGeneratedEffectsData((out / "data").string()))
        return 1;
    return 0;
}
