#include "tools/makeprod/SaveScene.h"

#include <cstdio>
#include <string>

bool saveScene(const SceneWriter& w, const std::filesystem::path& path)
{
    std::string problems = w.check();
    if (!problems.empty()) {
        std::fprintf(stderr, "vp_makeprod: %s: %s\n", path.c_str(), problems.c_str());
        return false;
    }
    if (!w.writeFile(path.c_str())) {
        std::fprintf(stderr, "vp_makeprod: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
