// vp_makeprod: writes the sample production's data files into a folder.
// Usage: vp_makeprod OUTPUT_DIR
// The output is the same on every run: the build regenerates it whenever the
// generator changes.
#include "tools/makeprod/GeneratedEffectsScenes.h"
#include "tools/makeprod/ImageLayerTextures.h"
#include "tools/makeprod/ProductionScenes.h"
#include "tools/makeprod/ProductionScript.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vp_makeprod OUTPUT_DIR\n");
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out / "data", ec);
    if (ec) {
        std::fprintf(stderr, "vp_makeprod: cannot create %s: %s\n", (out / "data").c_str(), ec.message().c_str());
        return 1;
    }
    std::string script = (out / "data" / "testscript.scr").string();
    if (!productionScript().save(script)) {
        std::fprintf(stderr, "vp_makeprod: cannot write %s\n", script.c_str());
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
