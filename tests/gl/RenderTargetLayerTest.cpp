// The render-target wrapper: the inner effect renders into the shared
// off-screen target and the wrapper lays that picture over the screen, with
// its colour, rotation and shake; signals reach the inner effect inside the
// target's context.

#include "effects/RenderTargetLayer.h"
#include "gl/PBuffer.h"
#include "gl/WindowTarget.h"
#include "scene/Camera.h"
#include "scene/SceneEffect.h"
#include "tools/scenewriter/MeshShapes.h"

#include "support/FilterRig.h"
#include "support/SceneTestSupport.h"

#include <cmath>

namespace {

class RenderTarget : public FilterTest {
protected:
    void TearDown() override
    {
        setWindowPictureSize(0, 0);
        RenderTargetLayer::setSizing({});
        FilterTest::TearDown();
    }

    // The demo draws a picture of width x height from the window's
    // lower-left corner, as the frame presenter publishes it.
    static void drawPictureOf(int width, int height)
    {
        setWindowPictureSize(width, height);
        Effect::screenWidth = width;
        Effect::screenHeight = height;
        glViewport(0, 0, width, height);
    }

    // Bounding box, in pixels, of what is not `background` in the lower-left
    // width x height of the window.
    static void extentOf(Rgb background, int width, int height, int& boxWidth, int& boxHeight)
    {
        std::vector<unsigned char> rgb = frame();
        int left = width, right = -1, bottom = height, top = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &rgb[(size_t(y) * kWidth + x) * 3];
                if (Rgb{p[0], p[1], p[2]} == background)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
        boxWidth = right - left + 1;
        boxHeight = top - bottom + 1;
    }
};

} // namespace

TEST_F(RenderTarget, TheInnerPictureIsCompositedUpright)
{
    drawPictureOf(kWidth, kWidth * 3 / 4);
    auto* picture = new PictureSource;
    RenderTargetLayer layer(picture);
    EXPECT_EQ(layer.inner(), picture);
    PBuffer* target = layer.renderTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(target->isCreated());
    EXPECT_EQ(target->width, 1024);
    EXPECT_EQ(target->height, 1024);

    // init reaches the inner effect twice: through the base, then in the target.
    layer.init(0);
    EXPECT_EQ(picture->inits, 2);

    layer.preRender(0);
    // The aspect signal precedes the inner render, inside the target.
    ASSERT_EQ(picture->signals.size(), 1u);
    EXPECT_EQ(picture->signals[0].code, 251);
    EXPECT_EQ(picture->signals[0].count, 1);
    EXPECT_EQ(picture->signals[0].args[0], 133);
    EXPECT_NE(picture->signalContexts[0], platform::windowContext());
    EXPECT_EQ(picture->renders, 1);
    // Nothing reached the window, and its viewport is as it was.
    EXPECT_EQ(platform::currentContext(), platform::windowContext());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);

    drawPictureOf(kWidth, kHeight);
    clearTo({0, 0, 0});
    layer.render(0, true);
    EXPECT_EQ(picture->renders, 1); // only preRender renders the inner effect
    EXPECT_EQ(pixel(kWidth - 2, kHeight - 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(int(0.7f * kWidth), int(0.7f * kHeight)), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixel(10, kHeight / 2), (Rgb{230, 30, 30}));
    EXPECT_EQ(pixel(kWidth / 2, 10), (Rgb{30, 200, 60}));

    // The wrapper's colour scales the picture.
    layer.signal(sig(200, {128, 255, 0}));
    clearTo({0, 0, 0});
    layer.render(0, true);
    EXPECT_EQ(pixel(int(0.7f * kWidth), int(0.7f * kHeight)), (Rgb{128, 255, 0}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderTarget, SignalsReachTheInnerEffectInsideTheTarget)
{
    auto* picture = new PictureSource;
    RenderTargetLayer layer(picture);
    PictureSource other;
    EffectManager::instance()->registerEffect(5, &other);
    layer.init(0);

    layer.signal(sig(70, {5}));
    layer.signal(sig(200, {0, 0, 255}));
    layer.signal(sig(10, {50}));
    ASSERT_EQ(picture->signals.size(), 3u);
    for (void* context : picture->signalContexts)
        EXPECT_NE(context, platform::windowContext());
    EXPECT_EQ(platform::currentContext(), platform::windowContext());

    // The wrapper keeps its inner effect and clock; it takes the colour.
    EXPECT_EQ(layer.source, picture);
    EXPECT_EQ(layer.speed, 100.0f);
    EXPECT_EQ(layer.blue.value(), 1.0f);
    EXPECT_EQ(layer.red.value(), 0.0f);
    // The inner effect gets them all.
    EXPECT_EQ(picture->source, &other);
    EXPECT_EQ(picture->speed, 50.0f);
    EXPECT_EQ(picture->red.value(), 0.0f);
    EffectManager::instance()->registerEffect(5, nullptr);
}

TEST_F(RenderTarget, TwoWrappersInOneFrameShowTheSamePicture)
{
    auto* red = new FlatSource({200, 0, 0});
    auto* blue = new FlatSource({0, 0, 200});
    RenderTargetLayer first(red);
    RenderTargetLayer second(blue);
    EXPECT_EQ(first.renderTarget(), second.renderTarget());
    EXPECT_EQ(PBufferManager::getInstance()->refCount("renderTarget"), 2);
    first.init(0);
    second.init(0);

    first.preRender(0);
    second.preRender(0);
    clearTo({0, 0, 0});
    first.render(0, true);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2), (Rgb{0, 0, 200}));
    clearTo({0, 0, 0});
    second.render(0, true);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2), (Rgb{0, 0, 200}));

    second.preRender(20);
    first.preRender(20);
    clearTo({0, 0, 0});
    second.render(20, true);
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2), (Rgb{200, 0, 0}));
}

// Frequency 2 radians per scaled unit, amplitude 0.25, 1000 ms from 2000 ms:
// offset = k sin(2 t) 0.25 with k falling from 1 to 0, t = local time / 100.
TEST_F(RenderTarget, AShakeFadesOutAndStopsAfterItsDuration)
{
    auto* picture = new PictureSource;
    RenderTargetLayer layer(picture);
    layer.init(0);
    layer.signal(sig(91, {2000, 250, 1000}));
    layer.render(1500, true);
    EXPECT_FALSE(layer.isShaking());
    EXPECT_EQ(layer.lastShakeOffset(), 0.0f);

    layer.signal(sig(407, {2000, 'x'}));
    EXPECT_FALSE(layer.isShaking());
    layer.signal(sig(407, {2000, 110}));
    EXPECT_TRUE(layer.isShaking());

    for (int t : {2000, 2100, 2500, 2990}) {
        layer.render(t, true);
        float k = 1.0f - (t - 2000) / 1000.0f;
        EXPECT_NEAR(layer.lastShakeOffset(), k * std::sin(2.0f * t / 100.0f) * 0.25f, 1e-5f) << t;
        EXPECT_TRUE(layer.isShaking()) << t;
    }
    layer.render(3001, true);
    EXPECT_FALSE(layer.isShaking());
    EXPECT_EQ(layer.lastShakeOffset(), 0.0f);

    // The picture moves by the offset: at 2278 ms, sin(45.56) = 1 nearly,
    // k = 0.722, so 0.18 of the height, downward on screen (y grows downward
    // in the composite).
    layer.signal(sig(407, {2000, 110}));
    layer.preRender(2278);
    clearTo({0, 0, 0});
    layer.render(2278, true);
    float offset = layer.lastShakeOffset();
    EXPECT_NEAR(offset, 0.1805f, 0.001f);
    int shift = int(offset * kHeight);
    // The green bar's top edge moved down by `shift` pixels, and the red
    // bar down the left side no longer reaches the top.
    EXPECT_EQ(pixel(kWidth / 2, int(0.25f * kHeight) - shift + 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(kWidth / 2, int(0.25f * kHeight) - shift - 5), (Rgb{30, 200, 60}));
    EXPECT_EQ(pixel(10, kHeight - 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel(10, kHeight - shift - 5), (Rgb{230, 30, 30}));

    // A shake of no length does not show.
    layer.signal(sig(91, {2000, 250, 0}));
    layer.signal(sig(407, {5000, 110}));
    layer.render(5000, true);
    EXPECT_FALSE(layer.isShaking());
    EXPECT_EQ(layer.lastShakeOffset(), 0.0f);
}

TEST_F(RenderTarget, RotationTurnsTheLayerAboutItsCentre)
{
    auto* picture = new PictureSource;
    RenderTargetLayer layer(picture);
    layer.init(0);
    // 180 degrees about z round the screen centre: the white square moves
    // from the top-right to the bottom-left.
    layer.signal(sig(501, {50, 50, 0}));
    layer.signal(sig(500, {0, 0, 180, 0, 0, 180, 0, 0}));
    layer.preRender(0);
    clearTo({0, 0, 0});
    layer.render(0, true);
    EXPECT_EQ(pixel(int(0.3f * kWidth), int(0.3f * kHeight)), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixel(int(0.7f * kWidth), int(0.7f * kHeight)), (Rgb{230, 30, 30}));
}

// A box seen face on: its front face is a square on screen, whatever the
// picture's shape. The wrapper hands the scene the picture's aspect, 133 at
// 4:3 as ever, and the picture's own elsewhere.
TEST_F(RenderTarget, AWrappedSceneKeepsASquareSquareAtAnyAspect)
{
    SceneWriter writer;
    addPlainMaterial(writer);
    addBox(writer.addMesh(10, "Box"), Vec3(20, 20, 20), 1);
    writer.addCamera(20, "Camera01", Vec3(0, 0, 100), 45.0f, 10);
    writer.addLight(30, "Omni01", Vec3(0, 0, 100), Vec3(1, 1, 1));
    SceneFile file(writer);

    auto* scene = new SceneEffect;
    RenderTargetLayer layer(scene);
    layer.signal(sig(50, {}, file.path.c_str()));
    ASSERT_NE(scene->getScene(), nullptr);
    layer.init(0);
    layer.start();
    scene->start();

    const Rgb blue{0, 0, 255};
    struct Shape {
        int width, height, aspect;
    };
    const Shape shapes[] = {{640, 480, 133}, {640, 360, 178}, {480, 480, 100}};
    // The classic target, then one of the picture's own size, made again
    // for every shape.
    for (RenderTargetSizing sizing : {RenderTargetSizing{}, RenderTargetSizing{RenderTargetSizing::Mode::Picture, 0}})
        for (Shape shape : shapes) {
            RenderTargetLayer::setSizing(sizing);
            const bool ownSize = sizing.mode == RenderTargetSizing::Mode::Picture;
            drawPictureOf(shape.width, shape.height);
            layer.preRender(0);
            EXPECT_EQ(scene->getScene()->getCurrentCamera()->getAspect(), shape.aspect * 0.01f);
            EXPECT_EQ(layer.renderTarget()->width, ownSize ? shape.width : 1024);
            EXPECT_EQ(layer.renderTarget()->height, ownSize ? shape.height : 1024);
            clearTo(blue);
            drawPictureOf(shape.width, shape.height);
            layer.render(0, true);
            int boxWidth = 0, boxHeight = 0;
            extentOf(blue, shape.width, shape.height, boxWidth, boxHeight);
            EXPECT_GT(boxHeight, shape.height / 10) << shape.width << "x" << shape.height;
            EXPECT_NEAR(boxWidth, boxHeight, 2) << shape.width << "x" << shape.height;
        }
}
