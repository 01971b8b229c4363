// Feeds whole scene files to the scene reader. The reader normally treats a
// broken file as fatal (the error box ends the process); here it runs in the
// recoverable mode of scene/SceneErrors.h, so a bad input makes load return
// none after freeing what it had built, and the next input starts clean. A
// scene that loads is also prepared, linked, animated and cloned, then given
// back. No GL context: the GL calls of lights and materials go nowhere, and
// texture files never load (the texture folder does not exist), so every
// texture name ends the load.

#include "gl/TextureManager.h"
#include "scene/Scene.h"
#include "scene/SceneErrors.h"
#include "scene/SceneManager.h"
#include "scene/SceneObject.h"
#include "scene/SceneReader.h"

#include "fuzz/FuzzInputFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = writeFuzzInput("scene_fuzz_input", ".vsc", data, size);
    if (path.empty())
        return 0;

    setSceneErrorsRecoverable(true);
    SceneReader reader;
    Scene* scene = reader.load(path.c_str(), "no-such-texture-folder/");
    if (scene) {
        for (float t : {-3.0f, 0.0f, 1.5f, 37.25f, 1e9f}) {
            scene->setLooping(t > 1.0f);
            scene->setTime(t);
            scene->animate();
        }
        for (SceneObject* o = scene->getObjects(); o; o = o->getNext())
            delete o->clone();
        scene->nextCamera();
        SceneManager::getInstance()->release(scene);
        if (SceneManager::getInstance()->size() != 0)
            std::abort(); // the one reference was given back
    }
    TextureManager::getInstance()->releaseAll();
    return 0;
}
