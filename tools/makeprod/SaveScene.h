#pragma once
// Writes a finished scene of the production, after the writer's own check;
// false, with the reason on stderr, when the scene is inconsistent or the
// file cannot be written.

#include "tools/scenewriter/SceneWriter.h"

#include <filesystem>

bool saveScene(const SceneWriter& w, const std::filesystem::path& path);
