#include "effects/NoiseFilter.h"

#include "effects/PostProcess.h"
#include "gl/ErrorBox.h"
#include "gl/TextureManager.h"
#include "math/Random.h"

#include <GL/gl.h>

#include <cstdlib>

static constexpr int kPixelCount = NoiseFilter::kNoiseSize * NoiseFilter::kNoiseSize;
static constexpr int kQuarterPixels = kPixelCount / 4;
static constexpr int kQuarterRows = NoiseFilter::kNoiseSize / 4;

static Texture* makeNoiseTexture(const char* name)
{
    Texture* texture = TextureManager::getInstance()->getRenderTexture(name, NoiseFilter::kNoiseSize,
                                                                       NoiseFilter::kNoiseSize, GL_TEXTURE_2D, GL_RGBA);
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, texture->textureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    return texture;
}

// Grey pixels from the process-wide generator, opaque.
static void fillNoise(unsigned char* p, int count)
{
    for (int i = 0; i < count; ++i, p += 4) {
        int r = nextRandom();
        unsigned char grey = static_cast<unsigned char>(static_cast<float>(r) / 32767.0f * 255.0f);
        p[0] = grey;
        p[1] = grey;
        p[2] = grey;
        p[3] = 255;
    }
}

NoiseFilter::NoiseFilter()
{
    alpha.reset(0.5f);
    pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(kPixelCount) * 4));
    if (!pixels)
        errorBox("NoiseFilter: out of memory", true);

    const char* const names[kSlotCount] = {"noise1", "noise2", "noise3", "noise4"};
    for (int i = 0; i < kSlotCount; ++i)
        slots[i] = makeNoiseTexture(names[i]);
    spare = makeNoiseTexture("noise5");

    slot = 0;
    for (int i = 0; i < kSlotCount; ++i) {
        generate();
        slot = (slot + 1) % kSlotCount;
    }
    // Back at the first slot, and that is what shows: "noise1".
    current = slots[slot];
    extraAlpha = 0.0f;
}

NoiseFilter::~NoiseFilter()
{
    std::free(pixels);
    TextureManager* manager = TextureManager::getInstance();
    for (Texture* t : slots)
        manager->release(t);
    manager->release(spare);
}

void NoiseFilter::generate()
{
    if (!animated) {
        fillPosition = 0;
        fillNoise(pixels, kPixelCount);
        current = slots[slot];
        glBindTexture(GL_TEXTURE_2D, current ? current->textureId : 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kNoiseSize, kNoiseSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }

    fillRow += kQuarterRows;
    fillPosition += kQuarterPixels;
    if (fillPosition == kPixelCount) {
        fillPosition = 0;
        fillRow = 0;
    }
    unsigned char* quarter = pixels + static_cast<size_t>(fillPosition) * 4;
    fillNoise(quarter, kQuarterPixels);
    glBindTexture(GL_TEXTURE_2D, spare ? spare->textureId : 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, fillRow, kNoiseSize, kQuarterRows, GL_RGBA, GL_UNSIGNED_BYTE, quarter);

    if (fillRow != 0) {
        slot = (slot + 1) % kSlotCount;
        current = slots[slot];
    } else {
        Texture* completed = spare;
        spare = slots[slot];
        slots[slot] = completed;
    }
}

void NoiseFilter::init(int time)
{
    initBase(time);
    alpha.reset(0.5f);
    flashScale = 1.0f;
    extraAlpha = 0.0f;
}

void NoiseFilter::render(int time, bool applyRect)
{
    update(time, applyRect);
    if (animated)
        generate();

    postprocess::loadFullScreenProjection();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glColor4f(red.value(), green.value(), blue.value(), alpha.value() + extraAlpha);
    glBindTexture(GL_TEXTURE_2D, current ? current->textureId : 0);
    glEnable(GL_TEXTURE_2D);
    // Texture row 0 at the top: noise has no upright.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();

    // GL_TEXTURE_2D stays on and the colour as it is.
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

const SignalTable& NoiseFilter::signals()
{
    static const SignalInfo codes[] = {
        {90, "on", "animated noise"},
        {91, "scale", "flash scale in 1/100000"},
        {402, "level", "flash: extra alpha level squared x scale"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void NoiseFilter::signal(const SignalArgs& args)
{
    Effect::signal(args);
    const int* a = args.args;
    switch (args.code) {
    case 90:
        animated = a[0] != 0;
        break;
    case 91:
        flashScale = static_cast<float>(a[0]) * 0.00001f;
        break;
    case 402: {
        // Squared in 64 bits: a large argument must not overflow.
        long long squared = static_cast<long long>(a[0]) * a[0];
        extraAlpha = static_cast<float>(squared) * flashScale;
        break;
    }
    default:
        break;
    }
}
