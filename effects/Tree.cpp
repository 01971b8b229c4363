#include "effects/Tree.h"

#include "effects/TreeObject.h"
#include "gl/ErrorBox.h"
#include "scene/Scene.h"
#include "scene/SceneObject.h"

namespace {

constexpr const char* kTreeFile = Tree::kParameterFile;
constexpr const char* kTreeName = "tree";
constexpr const char* kSecondSphere = "Sphere02";

} // namespace

void Tree::init(int time)
{
    SceneEffect::init(time);
    if (scene && !setUp)
        setUpTrees();
}

void Tree::setUpTrees()
{
    setUp = true;
    firstTree = new TreeObject(kTreeId, kTreeName, kTreeFile);
    SceneObject* first = scene->findByName(Tree::kFirstSphere);
    SceneObject* second = scene->findByName(kSecondSphere);
    if (!first) {
        delete firstTree;
        firstTree = nullptr;
        errorBox("Tree::could not find object", true);
        return;
    }
    firstSphere = first;
    first->addChild(firstTree);
    if (second) {
        secondTree = new TreeObject(kTreeId, kTreeName, kTreeFile);
        second->addChild(secondTree);
        secondTree->setPosition(0.0f, 0.0f, 0.0f);
    }
    firstTree->setPosition(0.0f, 0.0f, 0.0f);
    scene->nextCamera();

    // Both trees wear the first sphere's material; a sphere without one
    // leaves them their own.
    Material* material = first->getMaterial();
    firstTree->setMaterial(material);
    if (secondTree)
        secondTree->setMaterial(material);
    swaying = false;
}

void Tree::render(int time, bool applyRect)
{
    if (!scene)
        return;
    applyExtras(time);
    update(time, applyRect);

    const float t = (static_cast<float>(time) - growthStart) / growthTimeScale;
    float w = 0.0f;
    if (swaying)
        w = (static_cast<float>(time) - swayStart) / growthTimeScale;
    if (firstTree) {
        firstTree->setGrowth(0.37f + t / 600.0f);
        firstTree->setSwayTime(w);
    }
    if (firstSphere)
        firstSphere->setRotation(0.0f, swaying ? w : t, 30.0f);

    scene->setTime(scaledLocalTime);
    scene->animate();
    scene->transformAndRender();
}

const SignalTable& Tree::signals()
{
    static const SignalInfo codes[] = {
        {90, "TREEFILE", "read tree parameters from this file"},
        {92, "start scale", "growth start and time scale (0 keeps it)"},
        {93, "start", "start swaying at this time"},
    };
    static const SignalTable table = signalTable(codes, &SceneEffect::signals());
    return table;
}

void Tree::signal(const SignalArgs& s)
{
    SceneEffect::signal(s);
    switch (s.code) {
    case 90:
        // Before the trees exist there is nothing to read into.
        if (firstTree)
            firstTree->read(s.text);
        break;
    case 92:
        growthStart = static_cast<float>(s.args[0]);
        if (s.args[1] != 0)
            growthTimeScale = static_cast<float>(s.args[1]);
        break;
    case 93:
        swaying = true;
        swayStart = static_cast<float>(s.args[0] + s.timeOffset);
        break;
    default:
        break;
    }
}
