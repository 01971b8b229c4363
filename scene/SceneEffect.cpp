#include "scene/SceneEffect.h"

#include "gl/ErrorBox.h"
#include "scene/Camera.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "scene/SceneObject.h"
#include "scene/SceneReader.h"
#include "scene/SceneTextures.h"

#include <GL/gl.h>

namespace {

constexpr const char* kTextureDirectory = "data/textures/";
constexpr const char* kShadowCaster = "Spot01";
constexpr float kColourByte = 0.003921569f; // 1 / 255

float percent(int v)
{
    return float(v) * 0.01f;
}

} // namespace

SceneEffect::~SceneEffect()
{
    clearExtras();
}

void SceneEffect::clearExtras()
{
    spins.clear();
    moves.clear();
    alphaAnimations.clear();
}

void SceneEffect::loadScene(const char* fileName)
{
    SceneReader reader;
    Scene* loaded = reader.load(fileName, kTextureDirectory);
    if (!loaded)
        errorBoxStr("could not load scene", fileName, true);
    if (!loaded->getCurrentCamera())
        errorBoxStr("no camera in scene", fileName, true);
    // The extras name objects of the scene they were set for.
    if (loaded != scene)
        clearExtras();
    scene = loaded;
    fovAnimation.reset(scene->getCurrentCamera()->getFieldOfView());

    // Scene files carry no sprites for their flares: every flare shows the
    // engine's own sprite.
    Texture* sprite = nullptr;
    for (Flare* f = scene->getFlares(); f; f = static_cast<Flare*>(f->getNext())) {
        if (!f->coreSprites().empty())
            continue;
        if (!sprite)
            sprite = getFlareSprite();
        f->setDefaultSprites(sprite);
    }
}

void SceneEffect::init(int time)
{
    initBase(time);
    if (!scene)
        return;
    scene->reset();
    // At scaled local time 0: spun objects back to rotation 0, moved ones
    // back to the origin, before the extras are forgotten.
    applyExtras(time);
    clearExtras();
}

void SceneEffect::render(int time, bool applyRect)
{
    update(time, applyRect);
    if (!scene)
        return;
    applyExtras(time);
    if (scene->getShadowMaps()) {
        if (Light* caster = scene->findLightByName(kShadowCaster))
            caster->setCastsShadow(true);
    }
    scene->setTime(scaledLocalTime);
    scene->animate();
    scene->advanceFlares(float(localTime));
    scene->transformAndRender();
}

void SceneEffect::applyExtras(int time)
{
    const float t = scaledLocalTime;
    for (auto& [object, speed] : spins)
        object->setRotation(speed.x * t, speed.y * t, speed.z * t);
    for (auto& [object, velocity] : moves)
        object->setPosition(velocity * t);
    for (auto& [object, value] : alphaAnimations) {
        float reference = value.update(time);
        if (Material* m = object->getMaterial())
            m->setAlphaReference(reference);
    }
    float fov = fovAnimation.update(time);
    if (scene) {
        if (Camera* camera = scene->getCurrentCamera())
            camera->setFieldOfView(fov);
    }
}

const SignalTable& SceneEffect::signals()
{
    static const SignalInfo codes[] = {
        {20, "", "next camera"},
        {21, "NAME", "camera by name"},
        {50, "SCENE", "load the scene file (its textures from data/textures/)"},
        {230, "id", "ramp shading for the object with this id"},
        {231, "on", "back-face culling"},
        {232, "on", "fog"},
        {233, "r g b", "fog colour 0..255"},
        {234, "density", "fog density in 1/1000"},
        {235, "near far", "fog range"},
        {236, "mode", "fog mode: 1 exp, 2 exp2, 3 linear"},
        {250, "degrees", "vertical field of view, whole degrees (45 by default)"},
        {251, "aspect",
         "aspect in hundredths (133 by default; no effect through the render target, which sets the picture's "
         "every frame)"},
        {252, "distance", "near plane"},
        {253, "distance", "far plane"},
        {254, "degrees start duration [mode [c1 c2]]", "animate the field of view"},
        {255, "NAME", "select the object"},
        {256, "x y z", "spin the selected object (hundredths)"},
        {257, "x y z", "move the selected object (hundredths)"},
        {258, "percent", "opacity of the selected object's material"},
        {259, "on", "show or hide the selected object"},
        {260, "percent", "alpha of the selected object"},
        {261, "percent start duration", "fade the selected object"},
        {262, "on", "wireframe for the selected object's material"},
        {263, "a b", "parameters of the selected object"},
        {280, "NAME", "select the light"},
        {281, "value", "constant attenuation"},
        {282, "value", "linear attenuation"},
        {283, "value", "quadratic attenuation"},
        {284, "c l q", "attenuations in 1/1000"},
        {285, "degrees", "spot cutoff"},
        {286, "exponent", "spot exponent"},
        {287, "on", "flicker"},
        {300, "on", "wireframe everywhere"},
        {301, "on", "show or hide every object"},
        {302, "", "draw geometry only"},
        {303, "sample", "jump to an animation sample"},
        {304, "on", "loop the animation"},
        {305, "on", "grey everywhere"},
        {310, "on", "shadow maps"},
        {311, "on", "projector shadows"},
        {312, "", "toggle shadow maps"},
        {313, "", "toggle projector shadows"},
        {407, "time step", "a pattern step: digits 1..9 select camera Camera0N"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void SceneEffect::signal(const SignalArgs& s)
{
    Effect::signal(s);
    if (s.code == 50) {
        loadScene(s.text);
        return;
    }
    if (!scene)
        return;

    const int* a = s.args;
    const int n = s.count;
    SceneObject* object = scene->getObjectCursor();
    Light* light = scene->getLightCursor();
    Material* material = object ? object->getMaterial() : nullptr;
    Camera* camera = scene->getCurrentCamera();

    switch (s.code) {
    case 20:
        scene->nextCamera();
        break;
    case 21:
        scene->selectCameraByName(s.text);
        break;
    case 230:
        // An id no object has is the script's slip: nothing happens.
        // (setRenderMode reaches the object's subtree and later siblings.)
        if (SceneObject* target = scene->findById(a[0])) {
            target->setRenderMode(kModeRamp);
            // The ramp shading needs a ramp: the engine's own unless an
            // effect has given the material one.
            for (Material* m = scene->getMaterials(); m; m = m->getNext())
                if (m->getUsesRamp() && !m->getRamp())
                    m->setRamp(getToonRamp());
        }
        break;
    case 231:
        scene->setCulling(a[0] != 0);
        break;
    case 232:
        scene->setFog(a[0] != 0);
        break;
    case 233:
        scene->setFogColour(float(a[0]) * kColourByte, float(a[1]) * kColourByte, float(a[2]) * kColourByte, 1.0f);
        break;
    case 234:
        scene->setFogDensity(float(a[0]) * 0.001f);
        break;
    case 235:
        scene->setFogRange(float(a[0]), float(a[1]));
        break;
    case 236:
        scene->setFogMode(a[0] == 2 ? GL_EXP2 : a[0] == 3 ? GL_LINEAR : GL_EXP);
        break;
    case 250:
        if (camera)
            camera->setFieldOfView(float(a[0]));
        fovAnimation.reset(float(a[0]));
        break;
    case 251:
        if (camera)
            camera->setAspect(float(a[0]) * 0.01f);
        break;
    case 252:
        scene->setNearPlaneAll(float(a[0]));
        break;
    case 253:
        scene->setFarPlaneAll(float(a[0]));
        break;
    case 254:
        fovAnimation.moveTo(float(a[0]));
        fovAnimation.setStartTime(a[1] + s.timeOffset);
        fovAnimation.setDuration(float(a[2]));
        if (n >= 4)
            fovAnimation.setMode(a[3]);
        if (n >= 6)
            fovAnimation.setCurve(percent(a[4]), percent(a[5]));
        break;
    case 255:
        scene->selectObject(s.text);
        break;
    case 256:
        if (object)
            spins[object] = Vec3(percent(a[0]), percent(a[1]), percent(a[2]));
        break;
    case 257:
        if (object)
            moves[object] = Vec3(percent(a[0]), percent(a[1]), percent(a[2]));
        break;
    case 258:
        if (material)
            material->setOpacity(percent(a[0]));
        break;
    case 259:
        if (object)
            object->setVisibleRecursive(a[0] != 0);
        break;
    case 260:
    case 261:
        if (object) {
            // A new entry starts from the defaults of an AnimatedValue.
            AnimatedValue& value = alphaAnimations[object];
            if (s.code == 260) {
                value.reset(percent(a[0]));
            } else {
                value.moveTo(percent(a[0]));
                value.setStartTime(a[1]);
                value.setDuration(float(a[2]));
            }
        }
        break;
    case 262:
        if (material)
            material->setWireframe(a[0] != 0);
        break;
    case 263:
        if (object)
            object->setParameters(a[0], a[1]);
        break;
    case 280:
        scene->selectLight(s.text);
        break;
    case 281:
        if (light)
            light->setConstantAttenuation(float(a[0]));
        break;
    case 282:
        if (light)
            light->setLinearAttenuation(float(a[0]));
        break;
    case 283:
        if (light)
            light->setQuadraticAttenuation(float(a[0]));
        break;
    case 284:
        if (light) {
            light->setConstantAttenuation(float(a[0]) * 0.001f);
            light->setLinearAttenuation(float(a[1]) * 0.001f);
            light->setQuadraticAttenuation(float(a[2]) * 0.001f);
        }
        break;
    case 285:
        if (light)
            light->setSpotCutoff(float(a[0]));
        break;
    case 286:
        if (light)
            light->setSpotExponent(float(a[0]));
        break;
    case 287:
        if (light)
            light->setFlicker(a[0] != 0);
        break;
    case 300:
        scene->setWireframeAll(a[0] != 0);
        break;
    case 301:
        if (a[0] != 0)
            scene->showAll();
        else
            scene->hideAll();
        break;
    case 302:
        scene->drawGeometryOnly();
        break;
    case 303: {
        // A0 is a sample number: the scene shows it now, and the clock moves
        // so that the next frames go on from it.
        double sceneTime = double(a[0]) * double(scene->getSampleInterval());
        double back = sceneTime * double(speed);
        if (back > 1e9)
            back = 1e9;
        if (back < -1e9)
            back = -1e9;
        scene->setSampleFrame(a[0]);
        startTime = lastTime - int(back);
        localTime = lastTime - startTime;
        scaledLocalTime = float(localTime) / speed;
        break;
    }
    case 304:
        scene->setLooping(a[0] != 0);
        break;
    case 305:
        scene->setGreyAll(a[0] != 0);
        break;
    case 310:
        scene->setShadowMaps(a[0] != 0);
        break;
    case 311:
        scene->setProjectorShadows(a[0] != 0);
        break;
    case 312:
        scene->setShadowMaps(!scene->getShadowMaps());
        break;
    case 313:
        scene->setProjectorShadows(!scene->getProjectorShadows());
        break;
    case 407:
        if (a[1] >= '1' && a[1] <= '9') {
            char name[] = "Camera0?";
            name[7] = char(a[1]);
            scene->selectCameraByName(name);
        }
        break;
    default:
        break;
    }
}
