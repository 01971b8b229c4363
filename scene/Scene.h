#pragma once
// A loaded scene: the forest of objects, and the lists of flares, cameras,
// lights and materials, with the animation clock that moves the sampled
// objects.
//
// The scene file reader fills it, prepares the objects once (normals) and
// links it once (materials bound, draw arrays built, top level sorted for
// drawing, camera and light targets found). From then on the effects that
// hold it set its time, animate it and draw it every frame. Scenes are shared
// through the SceneManager, which deletes them.
//
// The scene owns every object in its lists with their subtrees, and the
// materials; it does not own textures (the TextureManager does).

#include "math/Color4.h"

#include <GL/gl.h>

class Camera;
class Flare;
class PBuffer;
class Texture;
class Light;
class Marker;
class Material;
class SceneObject;

class Scene {
public:
    Scene();
    // Deletes the object forest, the cameras, the lights, the materials and
    // the flares, in that order.
    ~Scene();

    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // ---- Lists (each appends at its end) ----------------------------------
    void addObject(SceneObject* object);
    void addFlare(Flare* flare);
    // The first camera added becomes the current one.
    void addCamera(Camera* camera);
    // Gives the light the next GL light number (0, 1, 2, ... in order of
    // adding) and sends its colours to GL.
    void addLight(Light* light);
    void addMaterial(Material* material);

    SceneObject* getObjects() const { return objects; }
    Flare* getFlares() const { return flares; }
    Camera* getCameras() const { return cameras; }
    Light* getLights() const { return lights; }
    Material* getMaterials() const { return materials; }

    // ---- Lookups ----------------------------------------------------------
    // 0 yields the first top-level object; otherwise the object with that id
    // in the forest (depth first), then the lights, the cameras, the flares.
    SceneObject* findById(int id);
    // The first object with exactly that name, in the same order as findById.
    SceneObject* findByName(const char* name);
    Material* findMaterial(int id);

    // The cursor addressed by the object signals: the named object of the
    // forest (none if absent; no name: the first top-level object). Reading
    // an empty cursor sets it to the first top-level object.
    SceneObject* selectObject(const char* name);
    SceneObject* getObjectCursor();
    // Likewise for lights; the cursor light also drives the bump mapping.
    Light* selectLight(const char* name);
    Light* getLightCursor();

    // ---- Cameras and lights -----------------------------------------------
    Camera* getCurrentCamera() const { return currentCamera; }
    // The first camera with that id, else the first camera.
    Camera* selectCamera(int id);
    // The camera with exactly that name; when none has it the current camera
    // stays and none is returned.
    Camera* selectCameraByName(const char* name);
    // The camera after the current one, wrapping to the first.
    Camera* nextCamera();
    void setNearPlaneAll(float value);
    void setFarPlaneAll(float value);
    // The light with exactly that name; with no name, the first light.
    Light* findLightByName(const char* name);
    // Grey on every light and every material.
    void setGreyAll(bool on);
    void setWireframeAll(bool on);
    void showAll();
    void hideAll();
    // selectCamera(0), then every light sends its colours again.
    void reset();
    // Sends every light to GL, once per frame after the camera is applied.
    void applyLights();

    // ---- After loading ----------------------------------------------------
    // Derived geometry data over the whole forest.
    void prepare();
    // Binds materials and builds the draw arrays over the forest, sorts the
    // top level, finds the camera and light targets and makes the first camera
    // current. False only when a face names a missing material and scene
    // errors are recoverable (SceneErrors.h); otherwise that error is fatal.
    bool link();
    // Top level only: environment-only objects (render mode 10, a sky) first,
    // in file order; transparent objects last, in file order; the rest keep
    // their order between them.
    void sortObjects();

    // ---- Animation --------------------------------------------------------
    // Turns the owning effect's scaled local time into a sample index and a
    // fraction towards the next sample; looping wraps whole runs of samples.
    void setTime(float t);
    // Applies the current sample to every sampled object of the forest, the
    // cameras, the lights and the flares.
    void animate();
    void setLooping(bool on) { looping = on; }
    bool getLooping() const { return looping; }
    void setSampleCount(int count) { sampleCount = count; }
    void setSampleInterval(int interval) { sampleInterval = interval; }
    int getSampleCount() const { return sampleCount; }
    int getSampleInterval() const { return sampleInterval; }
    int getSampleIndex() const { return sampleIndex; }
    float getSampleFraction() const { return sampleFraction; }
    float getTime() const { return time; }

    // Jumps the clock to the start of sample f: the clock setTime gives for
    // the time f x sampleInterval (clamped alike).
    void setSampleFrame(int f);

    // ---- Drawing (SceneRender.cpp) ------------------------------------------
    // One frame of the scene through its current camera: fatal without
    // objects ("no objects in scene") or camera ("no current camera"); sets
    // the frame's lights, depth test, culling and fog, runs the shadow steps
    // when they are on, and draws the object forest, then the flares.
    void transformAndRender();
    // Positions only, through the current camera (depth and shadow passes).
    void drawGeometryOnly();
    // The draw traversal over a sibling list: each object (and its mirrored
    // copy) with its transform, then its children under it. Invisible
    // objects are not drawn, their children are.
    static void drawObjects(SceneObject* first);
    // The same with drawGeometry, without mirrored copies.
    static void drawObjectGeometry(SceneObject* first);
    // Moves every flare's sprites on to `time` (ms of the owning effect).
    void advanceFlares(float time);
    // The marker the environment cube makes the camera look at; the scene's
    // own, made on first use.
    Marker* getCubeTarget();

    // ---- Shadows (SceneShadows.cpp) -----------------------------------------
    // Depth-texture shadow maps on texture unit 2 and projector shadows on
    // unit 1. Switching shadow maps (either way) is fatal with fewer than 3
    // texture units ("not enough texture units for shadows") or without
    // GL_ARB_shadow ("arb_shadow not supported.."); on, it marks the whole
    // forest as receiving (off: as not receiving). Projector shadows need 3
    // units, else nothing happens.
    void setShadowMaps(bool on);
    bool getShadowMaps() const { return shadowMaps; }
    void setProjectorShadows(bool on);
    bool getProjectorShadows() const { return projectorShadows; }
    int getShadowMapSize() const { return shadowMapSize; }
    // The light the map is rendered from: the first light that casts
    // shadows. The projector: the first light with a projected texture.
    // Either looks at its target; one without a target looks down -z.
    Light* findShadowLight() const;
    Light* findProjectorLight() const;
    // The process-wide depth buffer the maps render into when the GL renders
    // depth into textures; none before the first scene switches maps on.
    static PBuffer* getShadowDepthBuffer();
    // Deletes that buffer (at the end of the run, with its context current);
    // the next scene that switches maps on makes a new one.
    static void deleteShadowDepthBuffer();

    // ---- Settings ---------------------------------------------------------
    void setCulling(bool on) { culling = on; }
    bool getCulling() const { return culling; }
    void setFog(bool on) { fog = on; }
    bool getFog() const { return fog; }
    void setFogColour(float r, float g, float b, float a) { fogColour.set(r, g, b, a); }
    const Color4& getFogColour() const { return fogColour; }
    void setFogDensity(float value) { fogDensity = value; }
    float getFogDensity() const { return fogDensity; }
    void setFogRange(float start, float end)
    {
        fogStart = start;
        fogEnd = end;
    }
    float getFogStart() const { return fogStart; }
    float getFogEnd() const { return fogEnd; }
    // GL_EXP, GL_EXP2 or GL_LINEAR.
    void setFogMode(GLenum mode) { fogMode = mode; }
    GLenum getFogMode() const { return fogMode; }
    bool getHasNvDepthTexture() const { return hasNvDepthTexture; }

private:
    // The steps transformAndRender runs while shadows are on: the maps and
    // the projector's planes before the camera, their texture units after it,
    // and the units switched off after drawing.
    void renderShadowMaps();
    void setupShadowmap();
    void endShadowmap();
    void projectorPrePass();
    void beginProjector();
    void endProjector();
    // Makes the depth target the maps render into (once per run).
    void createShadowTarget();

    int shadowMapSize = 512;              // texels on a side of the copied map
    float time = 0.0f;
    SceneObject* objects = nullptr;       // owned list
    SceneObject* objectCursor = nullptr;
    bool hasNvDepthTexture = false;       // "WGL_NV_render_depth_texture" at construction
    Flare* flares = nullptr;              // owned list
    Camera* cameras = nullptr;            // owned list
    Camera* currentCamera = nullptr;
    Light* lights = nullptr;              // owned list
    Light* lightCursor = nullptr;
    Material* materials = nullptr;        // owned list

    int sampleCount = 0;
    int sampleInterval = 0;               // scene-time units per sample
    int sampleIndex = 0;
    float sampleFraction = 0.0f;
    bool looping = false;

    bool culling = true;
    bool fog = false;
    Color4 fogColour{0.5f, 0.5f, 0.5f, 1.0f};
    float fogDensity = 1.0f;
    float fogStart = 0.0f;
    float fogEnd = 1.0f;
    GLenum fogMode = GL_EXP;

    Texture* shadowTexture = nullptr;     // "ShadowMapTexture", without the depth buffer; not owned
    float shadowPlanes[16] = {};          // eye planes S, T, R, Q of the shadow map
    bool shadowMaps = false;
    float projectorPlanes[16] = {};       // eye planes S, T, R, Q of the projector
    bool projectorShadows = false;

    Marker* cubeTarget = nullptr;         // owned; made on first use
};
