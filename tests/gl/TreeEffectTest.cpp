// The tree effect on a real scene: set-up under the spheres, growth and sway
// from the signals, the picture drawn for real, and its failures.

#include "effects/Tree.h"
#include "effects/TreeObject.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "scene/SceneManager.h"
#include "support/Signals.h"
#include "tools/scenewriter/MeshShapes.h"
#include "tools/scenewriter/SceneWriter.h"

#include "support/GLTestContext.h"
#include "support/GoldenFrames.h"
#include "support/ImageFiles.h"
#include "support/TreeSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using ::testing::ExitedWithCode;

namespace {

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    for (char c : text) {
        if (c == '\n')
            out << '\r';
        out << c;
    }
}

// Two spheres side by side (the first as a dummy when `bareFirst`), two
// cameras, a light. Without `firstSphere` there is no "Sphere01".
SceneWriter treeStage(bool firstSphere = true, bool bareFirst = false)
{
    SceneWriter w;
    MaterialRecord& bark = w.addMaterial(1, "bark");
    bark.diffuse = Vec3(0.7f, 0.5f, 0.3f);
    bark.ambient = Vec3(0.3f, 0.25f, 0.2f);
    if (firstSphere) {
        if (bareFirst)
            w.addDummy(10, "Sphere01");
        else
            addSphere(w.addMesh(10, "Sphere01"), 1.5f, 12, 8, 1);
    }
    MeshRecord& second = w.addMesh(11, "Sphere02");
    second.position = Vec3(12, 0, 0);
    addSphere(second, 1.5f, 12, 8, 1);
    w.addDummy(12, "Middle").position = Vec3(4, 6, 0);
    w.addCamera(20, "Camera01", Vec3(0, 200, 1), 30.0f, 12);
    w.addCamera(21, "Camera02", Vec3(4, 8, 40), 50.0f, 12);
    w.addLight(30, "Omni01", Vec3(20, 40, 40), Vec3(1, 1, 1));
    return w;
}

class TreeEffectTest : public GLTest {
protected:
    testimages::ScratchDir scratch;
    std::filesystem::path previous;

    // The effect reads "data/tree2.arb" relative to the working folder.
    void SetUp() override
    {
        GLTest::SetUp();
        // Effects take the screen size from the viewport when they are made.
        effect = std::make_unique<Tree>();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(scratch.prefix());
        std::filesystem::create_directories("data");
        writeText("data/tree2.arb", kTreeFile);
    }
    void TearDown() override
    {
        effect.reset();
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        std::filesystem::current_path(previous);
        GLTest::TearDown();
    }

    Scene* load(const SceneWriter& w, const char* file = "data/trees.vsc")
    {
        EXPECT_TRUE(w.writeFile(file));
        effect->signal(sig(50, {}, file));
        return effect->getScene();
    }

    std::vector<unsigned char> frame(int time)
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect->render(time, true);
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    static int lit(const std::vector<unsigned char>& rgba)
    {
        int n = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            n += rgba[i] + rgba[i + 1] + rgba[i + 2] > 30;
        return n;
    }

    std::unique_ptr<Tree> effect;
};

} // namespace

TEST_F(TreeEffectTest, TreesHangUnderTheSpheresFromTheFirstInit)
{
    // Signals and frames before there is a scene or a tree do nothing.
    effect->signal(sig(90, {}, "data/tree2.arb"));
    effect->signal(sig(92, {0, 10}));
    effect->render(100, true);
    Scene* scene = load(treeStage());
    effect->signal(sig(90, {}, "data/none.arb"));
    effect->render(200, true);
    EXPECT_EQ(effect->getFirstTree(), nullptr);

    effect->init(1000);
    ASSERT_TRUE(effect->isSetUp());
    TreeObject* first = effect->getFirstTree();
    TreeObject* second = effect->getSecondTree();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(scene->findByName("Sphere01")->getFirstChild(), first);
    EXPECT_EQ(scene->findByName("Sphere02")->getFirstChild(), second);
    EXPECT_EQ(first->getId(), 998);
    EXPECT_EQ(first->getName(), "tree");
    EXPECT_EQ(first->getParameters().seed, 4711);
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera02");
    EXPECT_EQ(first->getTreeMaterial(), scene->findByName("Sphere01")->getMaterial());
    EXPECT_EQ(second->getTreeMaterial()->getName(), "bark");

    // Later inits keep the trees (the scene's reset takes the first camera
    // again).
    effect->init(2000);
    EXPECT_EQ(effect->getFirstTree(), first);
    EXPECT_EQ(first->getNext(), nullptr);

    // A clone is a tree of its own with the same values.
    std::unique_ptr<SceneObject> copy(first->clone());
    auto* treeCopy = dynamic_cast<TreeObject*>(copy.get());
    ASSERT_NE(treeCopy, nullptr);
    EXPECT_EQ(treeCopy->getParameters().levelRecords.size(), 4u);
    EXPECT_EQ(treeCopy->getTreeMaterial(), first->getTreeMaterial());
}

TEST_F(TreeEffectTest, GrowthAndSwayFollowTheSignals)
{
    Scene* scene = load(treeStage());
    effect->init(0);
    effect->start();
    TreeObject* first = effect->getFirstTree();
    SceneObject* sphere = scene->findByName("Sphere01");

    effect->signal(sig(92, {1000, 10}));
    frame(4000);
    EXPECT_FLOAT_EQ(first->getGrowth(), 0.37f + 300.0f / 600.0f);
    EXPECT_FLOAT_EQ(first->getSwayTime(), 0.0f);
    EXPECT_FLOAT_EQ(sphere->getEulerDegrees().y, 300.0f);
    EXPECT_FLOAT_EQ(sphere->getEulerDegrees().z, 30.0f);

    // A time scale of 0 is refused; the start moves.
    effect->signal(sig(92, {2000, 0}));
    frame(4000);
    EXPECT_FLOAT_EQ(first->getGrowth(), 0.37f + 200.0f / 600.0f);

    // Sway from 500 ms after the signal's time (offset 2000) on.
    effect->signal(sig(93, {500}, "", 2000));
    EXPECT_TRUE(effect->isSwaying());
    frame(4500);
    EXPECT_FLOAT_EQ(first->getSwayTime(), 200.0f);
    EXPECT_FLOAT_EQ(sphere->getEulerDegrees().y, 200.0f);
    // The second tree stays whole and still.
    EXPECT_FLOAT_EQ(effect->getSecondTree()->getGrowth(), 1.0f);
    EXPECT_FLOAT_EQ(effect->getSecondTree()->getSwayTime(), 0.0f);

    // Signal 90 reads another file into the first tree only.
    writeText("data/small.arb", "1 99\n0.1\n4\n1\n0.02 1\n");
    effect->signal(sig(90, {}, "data/small.arb"));
    EXPECT_EQ(first->getParameters().seed, 99);
    EXPECT_EQ(first->getParameters().levels, 1);
    EXPECT_EQ(effect->getSecondTree()->getParameters().levels, 3);
}

TEST_F(TreeEffectTest, FramesAreRepeatableAndTheTreeShows)
{
    load(treeStage());
    effect->init(0);
    effect->start();
    effect->signal(sig(92, {0, 10}));

    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    std::vector<unsigned char> grown = frame(6000);
    std::vector<unsigned char> again = frame(6000);
    EXPECT_TRUE(grown == again);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The seedling (growth 0.37: part of the first level) covers less.
    std::vector<unsigned char> young = frame(0);
    EXPECT_GT(lit(grown), lit(young) + 200);

    // Without the trees only the spheres remain.
    effect->getFirstTree()->setVisible(false);
    effect->getSecondTree()->setVisible(false);
    EXPECT_GT(lit(grown), lit(frame(6000)) + 500);
}

TEST_F(TreeEffectTest, ASphereWithoutMaterialLeavesTheTreeItsOwn)
{
    load(treeStage(true, true));
    effect->init(0);
    effect->start();
    ASSERT_NE(effect->getFirstTree(), nullptr);
    EXPECT_EQ(effect->getFirstTree()->getTreeMaterial()->getName(), "TreeMaterialDefault");
    EXPECT_EQ(effect->getFirstTree()->getTreeMaterial()->getId(), 1024);
    frame(3000);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TreeEffectTest, MissingSphereOrTreeFileIsFatal)
{
    load(treeStage(false));
    EXPECT_EXIT(effect->init(0), ExitedWithCode(1), "error: Tree::could not find object\n");
    std::filesystem::remove("data/tree2.arb");
    load(treeStage(), "data/whole.vsc");
    EXPECT_EXIT(effect->init(0), ExitedWithCode(1), "could not be read\nerror: could not open tree file for parsing\n");
}

TEST_F(TreeEffectTest, GoldenFrame)
{
    load(treeStage());
    effect->init(0);
    effect->start();
    effect->signal(sig(92, {0, 8}));
    effect->signal(sig(93, {1000}));
    for (int t = 0; t <= 4000; t += 250)
        frame(t);
    expectGoldenFrame("effects/tree", kWidth, kHeight);
}
