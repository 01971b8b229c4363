#include "scene/Flare.h"

#include "gl/GLExtensions.h"
#include "gl/Texture.h"
#include "platform/GLWindow.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

namespace {

void step(std::vector<FlareSprite>& sprites, float dt)
{
    for (FlareSprite& s : sprites) {
        s.position = s.position + s.velocity * dt;
        s.rotation += s.spin * dt;
        s.colour.a -= s.fade * dt;
        s.haloValueA += s.haloValueB * dt;
        if (s.haloValueA < 0.0f) {
            s.haloValueA = 0.0f;
            s.haloValueB = 0.0f;
        }
    }
}

bool haveQueries()
{
    return glext::glGenQueriesARB && glext::glBeginQueryARB && isExtensionSupported("GL_ARB_occlusion_query");
}

// One sprite as a square facing the viewer: the centre goes through the
// modelview the flare was placed with, the corners are added in eye space.
void drawSprite(const FlareSprite& s, const GLfloat* modelview, float alphaScale)
{
    const Vec3& p = s.position;
    float cx = modelview[0] * p.x + modelview[4] * p.y + modelview[8] * p.z + modelview[12];
    float cy = modelview[1] * p.x + modelview[5] * p.y + modelview[9] * p.z + modelview[13];
    float cz = modelview[2] * p.x + modelview[6] * p.y + modelview[10] * p.z + modelview[14];
    float radians = s.rotation * 0.017453292f;
    float ux = std::cos(radians) * s.size;
    float uy = std::sin(radians) * s.size;
    glColor4f(s.colour.r, s.colour.g, s.colour.b, s.colour.a * alphaScale);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(cx - ux + uy, cy - uy - ux, cz);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(cx + ux + uy, cy + uy - ux, cz);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(cx + ux - uy, cy + uy + ux, cz);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(cx - ux - uy, cy - uy + ux, cz);
    glEnd();
}

} // namespace

Flare::~Flare()
{
    deleteQueries();
}

void Flare::deleteQueries()
{
    if (queries.empty())
        return;
    // A context that is gone took its queries with it.
    void* current = platform::currentContext();
    const bool theirs = current == queryContext;
    if (glext::glDeleteQueriesARB && platform::contextSerial(queryContext) == queryContextSerial &&
        (theirs || platform::makeCurrent(queryContext))) {
        glext::glDeleteQueriesARB(GLsizei(queries.size()), queries.data());
        if (!theirs)
            platform::makeCurrent(current ? current : platform::windowContext());
    }
    queries.clear();
    queryContext = nullptr;
    queryContextSerial = 0;
}

SceneObject* Flare::clone() const
{
    Flare* copy = new Flare(name.c_str(), id);
    copyBaseTo(*copy);
    copy->core = core;
    copy->halo = halo;
    copy->texture = texture;
    copy->occlusionTest = occlusionTest;
    copy->divisor = divisor;
    copy->previousTime = previousTime;
    return copy;
}

void Flare::advance(float time)
{
    float dt = divisor != 0.0f ? (time - previousTime) / divisor : 0.0f;
    step(core, dt);
    step(halo, dt);
    previousTime = time;
}

void Flare::setDefaultSprites(Texture* sprite)
{
    if (!core.empty())
        return;
    setSpriteCount(1);
    core[0].size = 3.0f;
    core[0].colour = Color4(1.0f, 0.95f, 0.85f, 1.0f);
    halo[0].size = 0.0f;
    halo[0].colour = Color4(1.0f, 0.75f, 0.45f, 0.55f);
    texture = sprite;
    occlusionTest = true;
}

void Flare::draw()
{
    if (core.empty())
        return;
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.2f);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        texture->bind();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    } else {
        glDisable(GL_TEXTURE_2D);
    }

    for (const FlareSprite& s : core)
        drawSprite(s, modelview, 1.0f);

    if (occlusionTest) {
        const bool queriesOffered = haveQueries();
        if (queriesOffered &&
            (queries.size() != core.size() || queryContext != platform::currentContext() ||
             platform::contextSerial(queryContext) != queryContextSerial)) {
            deleteQueries();
            queries.assign(core.size(), 0u);
            glext::glGenQueriesARB(GLsizei(queries.size()), queries.data());
            queryContext = platform::currentContext();
            queryContextSerial = platform::contextSerial(queryContext);
        }
        // The counted second drawing is part of the look: a tested core
        // shines brighter than an untested one, whether or not the driver
        // can count.
        for (size_t i = 0; i < core.size(); ++i) {
            bool seen = true;
            if (queriesOffered) {
                glext::glBeginQueryARB(GL_SAMPLES_PASSED_ARB, queries[i]);
                drawSprite(core[i], modelview, 1.0f);
                glext::glEndQueryARB(GL_SAMPLES_PASSED_ARB);
                GLuint samples = 0;
                glext::glGetQueryObjectuivARB(queries[i], GL_QUERY_RESULT_ARB, &samples);
                seen = samples > 0;
            } else {
                drawSprite(core[i], modelview, 1.0f);
            }
            if (seen) {
                halo[i].size = kHaloSize;
                halo[i].haloValueA = kHaloBrightness;
                halo[i].haloValueB = kHaloFade;
            }
        }

        glDisable(GL_DEPTH_TEST);
        for (const FlareSprite& s : halo)
            if (s.haloValueA > 0.0f)
                drawSprite(s, modelview, s.haloValueA);
    }

    glPopMatrix();
    glPopAttrib();
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}

void Flare::setSpriteCount(int count)
{
    if (count < 0)
        count = 0;
    core.assign(size_t(count), FlareSprite());
    halo.assign(size_t(count), FlareSprite());
}
