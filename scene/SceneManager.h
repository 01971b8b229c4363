#pragma once
// Scenes shared by file name: a scene file opened by two effects is parsed
// once. The scene file reader looks a name up with find before parsing and
// registers what it parsed with add; effects give scenes back with release.
// The run releases them all before every full build of the effects, dumps the
// counts to "vp_log_scenes.txt" when logging, and deletes the manager at
// shutdown before the texture manager (scenes hold textures of that manager).

#include "resources/ResourceManager.h"
#include "scene/Scene.h"

class SceneManager : public ResourceManager<SceneManager, Scene> {
public:
    // The shadow depth buffer the scenes share lives as long as they may
    // need it: it goes with them, while the GL context is still there.
    ~SceneManager() override
    {
        releaseAll();
        Scene::deleteShadowDepthBuffer();
    }
};
