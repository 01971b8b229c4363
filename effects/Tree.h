#pragma once
// The tree effect: plays a scene with two spheres, "Sphere01" and
// "Sphere02", and on the first init that finds the scene hangs a grown tree
// (a TreeObject read from "data/tree2.arb") under each. Every frame the first
// tree grows with demo time, level by level, and sways once the script says
// so; the first sphere turns with it. The second tree stays fully grown.
//
// Growth = 0.37 + (time - growth start) / growth time scale / 600, so the
// tree shows about half of its first level at the growth start and is
// complete 378 x the time scale ms later (with 3 levels).
//
// Signals: the scene effect's table, then
//   90  text: the first tree reads its parameters again from that file
//   92  growth start (demo ms), growth time scale (ms per growth unit / 600)
//   93  sway from argument 1 ms after the signal on
// Until the first 92 the growth starts at demo time 0 with a time scale of
// 10. A time scale of 0 is refused (the previous one stays).
//
// The trees belong to the scene (children of its spheres) and go with it.

#include "scene/SceneEffect.h"

class SceneObject;
class TreeObject;

class Tree : public SceneEffect {
public:
    static constexpr int kTreeId = 998;
    // Read by both trees when they are set up.
    static constexpr const char* kParameterFile = "data/tree2.arb";
    // The object of the scene the first tree grows on; a scene without it is fatal.
    static constexpr const char* kFirstSphere = "Sphere01";
    static constexpr float kDefaultGrowthTimeScale = 10.0f;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    TreeObject* getFirstTree() const { return firstTree; }
    TreeObject* getSecondTree() const { return secondTree; }
    bool isSetUp() const { return setUp; }
    bool isSwaying() const { return swaying; }

private:
    void setUpTrees();

    TreeObject* firstTree = nullptr;  // owned by the scene (child of Sphere01)
    TreeObject* secondTree = nullptr; // owned by the scene (child of Sphere02)
    SceneObject* firstSphere = nullptr; // the scene's
    bool setUp = false;
    float growthStart = 0.0f;         // demo ms
    float growthTimeScale = kDefaultGrowthTimeScale;
    bool swaying = false;
    float swayStart = 0.0f;           // demo ms
};
