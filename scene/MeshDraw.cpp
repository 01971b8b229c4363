// Mesh drawing: the per-frame coordinates, the arrays on the texture units,
// the environment cube of modes 10 and 11, and the extra passes.
//
// Every array is one entry per corner (3 x face count); the per-frame ones
// are written in place, so a steady frame allocates nothing.

#include "scene/Mesh.h"

#include "gl/GLExtensions.h"
#include "gl/Texture.h"
#include "scene/Camera.h"
#include "scene/HighlightRenderer.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Scene.h"

#include <GL/glext.h>

namespace {

// The direction that the ramp shading and the highlights measure against, in
// eye space: up, to the left and towards the viewer.
const Vec3& highlightDirection()
{
    static const Vec3 direction = [] {
        Vec3 d(-1.0f, 2.0f, 1.0f);
        d.normalise();
        return d;
    }();
    return direction;
}

constexpr float kHighlightThreshold = 0.95f;

// The bump light when the scene has none: up, right and in front.
const Vec3 kDefaultBumpLight(60.0f, 90.0f, 100.0f);

// Which light the shadow-receiving second pass leaves out.
constexpr const char* kShadowLightName = "Spot01";

void clientUnit(int unit)
{
    glext::glClientActiveTextureARB(GL_TEXTURE0_ARB + unsigned(unit));
}

void coordArray(int unit, int size, const std::vector<float>& data)
{
    clientUnit(unit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(size, GL_FLOAT, 0, data.data());
}

// Eye directions of the six cube faces, in the order of the GL face targets
// (+x, -x, +y, -y, +z, -z). The y faces lean a little along x so that the
// look-at's up vector (0, 1, 0) is never parallel to the view.
const Vec3 kCubeFaceDirections[6] = {
    Vec3(1.0f, 0.0f, 0.0f),  Vec3(-1.0f, 0.0f, 0.0f), Vec3(0.01f, 1.0f, 0.0f),
    Vec3(0.01f, -1.0f, 0.0f), Vec3(0.0f, 0.0f, 1.0f),  Vec3(0.0f, 0.0f, -1.0f),
};

// Set while an environment cube is being drawn. The scene drawn into the
// cube may hold other environment meshes: they draw with the cube as it
// stands instead of starting a cube of their own, which would redraw the
// scene six times for each of the outer cube's faces and clear the corner of
// the frame that the outer face is being drawn into.
bool environmentPassActive = false;

} // namespace

void Mesh::drawGeometry()
{
    if (faces.empty() || positions.empty())
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Mesh::ensureFrameArrays()
{
    const size_t corners = faces.size() * 3;
    if (material->getUsesReflection() && reflectionCoords.size() != corners * 2)
        reflectionCoords.assign(corners * 2, 0.0f);
    if (material->getBumpMap() && lightVectors.size() != corners * 3)
        lightVectors.assign(corners * 3, 0.0f);
    if (material->getUsesRamp() && rampCoords.size() != corners)
        rampCoords.assign(corners, 0.0f);
}

void Mesh::draw()
{
    if (faces.empty() || !material || drawing)
        return;
    ensureFrameArrays();

    const int mode = material->getRenderMode();
    if ((mode == kModeEnvironment || mode == kModeEnvironmentSecond) && !environmentPassActive) {
        drawing = true;
        environmentPassActive = true;
        drawEnvironmentCube();
        environmentPassActive = false;
        drawing = false;
    }

    GLfloat modelview[16];
    const bool needReflection = highlight || material->getUsesReflection();
    const bool needLight = material->getBumpMap() != nullptr;
    if (needReflection || needLight)
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    if (needReflection)
        computeReflection(modelview);
    if (material->getUsesRamp())
        computeRampCoords();
    if (needLight)
        computeLightVectors(modelview);

    if (receivesShadow) {
        glext::glActiveTextureARB(GL_TEXTURE2_ARB);
        glEnable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }

    glColor3f(1.0f, 1.0f, 1.0f);
    material->setup();
    drawArrays(needLight);
    material->end();

    // Without a third unit the bump modes lose their colour map: a second,
    // additive pass in mode 1 lays the primary map over the bump shading.
    if (needLight && getMaxTextureUnits() < 3) {
        material->setRenderMode(kModePrimary);
        material->setup();
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthFunc(GL_EQUAL);
        glDepthMask(GL_FALSE);
        drawArrays(false);
        material->end();
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        material->setRenderMode(mode);
    }

    if (material->getUsesRamp())
        drawOutline();

    if (receivesShadow) {
        glext::glActiveTextureARB(GL_TEXTURE2_ARB);
        glDisable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        Light* shadowLight = scene ? scene->findLightByName(kShadowLightName) : nullptr;
        float opacity = material->getOpacity();
        material->setOpacity(opacity * 0.5f);
        material->setup();
        // The same fragments again: they must pass where the first pass
        // wrote its depth, also in the off-screen buffers' contexts, whose
        // depth function is GL's default GL_LESS. setup saved the function.
        glDepthFunc(GL_LEQUAL);
        if (shadowLight)
            shadowLight->setEnabled(false);
        drawArrays(needLight);
        material->end();
        material->setOpacity(opacity);
        if (shadowLight)
            shadowLight->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------
// Per-frame coordinates

void Mesh::computeReflection(const float* m)
{
    const Vec3& direction = highlightDirection();
    for (Vertex& v : vertices) {
        const Vec3& n = v.normal;
        // The rotation part of the column-major modelview applied to n.
        Vec3 e(m[0] * n.x + m[4] * n.y + m[8] * n.z, m[1] * n.x + m[5] * n.y + m[9] * n.z,
               m[2] * n.x + m[6] * n.y + m[10] * n.z);
        v.reflection.set((e.x + 1.0f) * 0.5f, (e.y + 1.0f) * 0.5f, (e.z + 1.0f) * 0.5f);
        if (highlight) {
            Vec3 centred(v.reflection.x - 0.5f, v.reflection.y - 0.5f, v.reflection.z - 0.5f);
            float facing = centred.dot(direction) * 2.0f;
            if (facing > kHighlightThreshold)
                highlight->addHighlight(v.position, facing - kHighlightThreshold);
        }
    }
    if (reflectionCoords.empty())
        return; // a highlight renderer on a material without reflection
    float* out = reflectionCoords.data();
    for (const Face& f : faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3& r = vertices[size_t(f.vertexIndex[corner])].reflection;
            *out++ = r.x;
            *out++ = r.y;
        }
    }
}

void Mesh::computeRampCoords()
{
    const Vec3& direction = highlightDirection();
    for (Vertex& v : vertices)
        v.ramp = v.reflection.dot(direction);
    float* out = rampCoords.data();
    for (const Face& f : faces)
        for (int corner = 0; corner < 3; ++corner)
            *out++ = vertices[size_t(f.vertexIndex[corner])].ramp;
}

void Mesh::computeLightVectors(const float* m)
{
    Vec3 p = bumpLight ? bumpLight->getPosition() : kDefaultBumpLight;
    // The light through the inverse of the modelview's rotation (its
    // transpose); the translation is left out.
    Vec3 light(m[0] * p.x + m[1] * p.y + m[2] * p.z, m[4] * p.x + m[5] * p.y + m[6] * p.z,
               m[8] * p.x + m[9] * p.y + m[10] * p.z);
    for (Vertex& v : vertices) {
        Vec3 d = light - v.position;
        v.lightVector.set(d.dot(v.tangent), d.dot(v.binormal), d.dot(v.normal));
    }
    float* out = lightVectors.data();
    for (const Face& f : faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3& l = vertices[size_t(f.vertexIndex[corner])].lightVector;
            *out++ = l.x;
            *out++ = l.y;
            *out++ = l.z;
        }
    }
}

// ---------------------------------------------------------------------------
// The arrays

void Mesh::drawArrays(bool withLightVectors)
{
    const int mode = material->getRenderMode();
    const bool reflection = material->getUsesReflection() && !reflectionCoords.empty();
    int highestUnit = -1;
    auto put = [&highestUnit](int unit, int size, const std::vector<float>& data) {
        if (data.empty())
            return;
        coordArray(unit, size, data);
        if (unit > highestUnit)
            highestUnit = unit;
    };

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    const bool normalArray = material->getUsesNormals();
    if (normalArray) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, normals.data());
    }

    const bool reflectionMap = mode == kModeEnvironment || mode == kModeEnvironmentSecond;
    if (reflectionMap) {
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
        glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP_ARB);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glEnable(GL_TEXTURE_GEN_R);
    }

    const bool thirdUnit = getMaxTextureUnits() >= 3;
    if (withLightVectors && !lightVectors.empty()) {
        put(0, 2, coords1);
        put(1, 3, lightVectors);
        if (thirdUnit)
            put(2, 2, reflection ? reflectionCoords : coords1);
    } else if (mode == kModeRamp || mode == kModeRampPrimary) {
        // The ramp coordinate indexes the 1D ramp on unit 0; mode 9 lays the
        // primary map over it on unit 1.
        put(0, 1, rampCoords);
        put(1, 2, coords1);
    } else if (mode == kModeSecond || mode == kModeSecondAlt) {
        // The second map sits on unit 0 in these modes and is a reflection map.
        put(0, 2, reflection ? reflectionCoords : coords1);
    } else {
        put(0, 2, coords1);
        // A detail map without a second set of its own repeats the first one.
        put(1, 2, reflection ? reflectionCoords : !coords2.empty() ? coords2 : coords1);
    }

    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());

    for (int unit = highestUnit; unit >= 0; --unit) {
        clientUnit(unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    clientUnit(0);
    if (reflectionMap) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
    }
    if (normalArray)
        glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The ramp modes' black outline: the back faces' edges as thick lines pushed
// behind the surface, so only the silhouette shows round the shape.
void Mesh::drawOutline()
{
    glLineWidth(4.0f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glPolygonMode(GL_BACK, GL_LINE);
    glDepthMask(GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(5.0f, 10.0f);
    glColor3f(0.0f, 0.0f, 0.0f);

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, normals.data());
    glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glLineWidth(1.0f);
    glPolygonMode(GL_BACK, GL_FILL);
    glDepthMask(GL_TRUE);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// ---------------------------------------------------------------------------
// Environment cube: the scene drawn six times from the mesh's position into
// the corner of the frame, each picture copied into one face of the shared
// cube texture that the material then samples by reflection.

void Mesh::drawEnvironmentCube()
{
    Texture* cube = material->getEnvironmentCube();
    Camera* camera = scene ? scene->getCurrentCamera() : nullptr;
    Marker* marker = scene ? scene->getCubeTarget() : nullptr;
    if (!cube || !camera || !marker)
        return;

    GLfloat projection[16];
    GLfloat modelview[16];
    GLint viewport[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetIntegerv(GL_VIEWPORT, viewport);

    const int n = cube->width;
    SceneObject* savedTarget = camera->getTarget();
    Vec3 savedPosition = camera->getPosition();
    camera->setPosition(position);
    camera->setTarget(marker);

    glPushAttrib(GL_SCISSOR_BIT);
    glViewport(0, 0, n, n);
    glScissor(0, 0, n, n);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int face = 0; face < 6; ++face) {
        // Around the mesh, wherever it stands.
        marker->setPosition(position + kCubeFaceDirections[face]);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->apply();
        Scene::drawObjects(scene->getObjects());
        material->setup();
        glCopyTexSubImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + unsigned(face), 0, 0, 0, 0, 0, n, n);
        material->end();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glPopAttrib();

    camera->setTarget(savedTarget);
    camera->setPosition(savedPosition);
    glLoadIdentity();
    camera->apply();
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview);
}
