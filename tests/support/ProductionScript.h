#pragma once
// The sample production's script as the player reads it, parsed from its
// source files in production/data of the source tree (VP_SOURCE_DIR), the
// files an author edits, with every include they make.

#include "engine/MemoryScriptSource.h"
#include "engine/Script.h"
#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

struct ProductionScript {
    MemoryScriptSource source; // every .scr file of production/data, as data/NAME
    std::unique_ptr<Script> script;

    ProductionScript()
    {
        const char* dir = std::getenv("VP_SOURCE_DIR");
        const std::filesystem::path data = std::filesystem::path(dir && *dir ? dir : "../..") / "production" / "data";
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(data, ec))
            if (entry.path().extension() == ".scr")
                source.addFile("data/" + entry.path().filename().string(),
                               readFile<std::string>(entry.path().string()));
        script = std::make_unique<Script>("data/testscript.scr", source, Script::ErrorMode::Report);
    }
};
