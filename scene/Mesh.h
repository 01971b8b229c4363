#pragma once
// A triangle mesh from the scene file.
//
// The file gives indexed geometry: vertices, two sets of texture coordinates
// and faces that index all three. At load time the mesh works out per-corner
// normals from the exporter's smoothing groups (prepare), binds every face to
// its material (resolve) and then flattens everything into de-indexed arrays
// of 3 x face-count corners (buildArrays) that are drawn with one
// glDrawElements. Effects that deform a mesh rewrite those arrays directly.
//
// Corner i of face f is element 3f + i of every de-indexed array.

#include "math/Color4.h"
#include "math/Vec3.h"
#include "scene/SceneObject.h"

#include <cstdint>
#include <vector>

class HighlightRenderer;
class Light;

struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

struct Vertex {
    Vec3 position;
    float unused[2] = {0.0f, 0.0f};
    Color4 colour;           // (1, 1, 1, 1)
    Vec3 normal;             // average of the face normals around it
    Vec3 reflection;         // eye-space normal mapped to 0..1, written by the draw
    Vec3 tangent;
    Vec3 binormal;
    Vec3 lightVector;        // light direction in tangent space, written by the draw
    float ramp = 0.0f;       // ramp texture coordinate, written by the draw
};

struct Face {
    int vertexIndex[3] = {0, 0, 0};
    int normalIndex[3] = {-1, -1, -1}; // into the mesh's shared normals, set by prepare
    int texIndex1[3] = {0, 0, 0};      // first coordinate set (ignored when the set is empty)
    int texIndex2[3] = {0, 0, 0};      // second coordinate set (likewise)
    Color4 colour;
    Vec3 faceNormal;
    int materialId = 0;
    Material* material = nullptr;      // bound by resolve
    int renderMode = 0;                // the material's mode when bound
    uint32_t smoothingGroups = 0;      // bit k = smoothing group k; 0 counts as group 0
};

class Mesh : public SceneObject {
public:
    Mesh(const char* name, int id) : SceneObject(name, id) {}

    SceneObject* clone() const override;
    Material* getMaterial() const override { return material; }

    // Draws the mesh with its material under the current modelview: the
    // environment cube first for modes 10 and 11, the per-frame coordinates
    // the material needs (reflection, ramp, tangent-space light vectors), the
    // arrays, then the extra passes (bump fallback, ramp outline, shadow).
    void draw() override;
    // Positions only, no state changes.
    void drawGeometry() override;

    // Flattens the geometry into the de-indexed arrays. Coordinate arrays are
    // made only for non-empty sets, reflection coordinates only when the
    // material uses them, light vectors only when it has a bump map.
    virtual void buildArrays();

    // Geometry as read (the mesh takes the arrays).
    void setVertices(std::vector<Vertex>&& v) { vertices = std::move(v); }
    void setFaces(std::vector<Face>&& f) { faces = std::move(f); }
    void setTexCoords1(std::vector<TexCoord>&& t) { texCoords1 = std::move(t); }
    void setTexCoords2(std::vector<TexCoord>&& t) { texCoords2 = std::move(t); }

    int getVertexCount() const { return int(vertices.size()); }
    int getFaceCount() const { return int(faces.size()); }
    int getTexCoordCount1() const { return int(texCoords1.size()); }
    int getTexCoordCount2() const { return int(texCoords2.size()); }
    Vertex& getVertex(int i) { return vertices[size_t(i)]; }
    const Vertex& getVertex(int i) const { return vertices[size_t(i)]; }
    Face& getFace(int i) { return faces[size_t(i)]; }
    const Face& getFace(int i) const { return faces[size_t(i)]; }
    const TexCoord& getTexCoord1(int i) const { return texCoords1[size_t(i)]; }
    const TexCoord& getTexCoord2(int i) const { return texCoords2[size_t(i)]; }

    // The normal of corner `corner` of face `face` after prepare.
    const Vec3& getCornerNormal(int face, int corner) const;
    int getSharedNormalCount() const { return int(sharedNormals.size()); }

    // De-indexed arrays (3 x face count corners each; empty when not built).
    std::vector<float>& getPositions() { return positions; }     // 3 floats a corner
    std::vector<float>& getNormals() { return normals; }         // 3 floats a corner
    const std::vector<uint32_t>& getIndices() const { return indices; }
    const std::vector<float>& getCoords1() const { return coords1; }       // 2 floats a corner
    const std::vector<float>& getCoords2() const { return coords2; }       // 2 floats a corner
    std::vector<float>& getReflectionCoords() { return reflectionCoords; } // 2 floats a corner
    std::vector<float>& getLightVectors() { return lightVectors; }         // 3 floats a corner

    bool getReceivesShadow() const { return receivesShadow; }
    bool getShadowFlag() const { return shadowFlag; }
    Light* getBumpLight() const { return bumpLight; }
    void setHighlightRenderer(HighlightRenderer* renderer) { highlight = renderer; }
    HighlightRenderer* getHighlightRenderer() const { return highlight; }

protected:
    void prepareSelf() override;
    bool resolveSelf(Scene* owner) override;
    void setReceivesShadowSelf(bool on) override { receivesShadow = on; }
    void setShadowFlagSelf(bool on) override { shadowFlag = on; }
    void setMaterialSelf(Material* m) override;
    void setRenderModeSelf(int mode) override;

    // Copies the geometry, arrays and flags into a fresh clone.
    void copyMeshTo(Mesh& copy) const;

    // ---- Drawing (MeshDraw.cpp) ----
    // Makes the per-frame arrays the material needs now: a material switched
    // to another mode after loading may need arrays the load did not build.
    // Allocates only on the first draw after such a switch.
    void ensureFrameArrays();
    // Per-vertex eye-space normals mapped to 0..1 (modelview: GL's
    // column-major array), copied to the corners; highlights on the way.
    void computeReflection(const float* modelview);
    void computeRampCoords();
    void computeLightVectors(const float* modelview);
    // Puts the arrays on the units as the material's mode wants them and
    // draws every face once.
    void drawArrays(bool withLightVectors);
    void drawEnvironmentCube();
    void drawOutline();

    bool drawing = false;              // set while the environment cube draws the scene
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    std::vector<TexCoord> texCoords1;
    std::vector<TexCoord> texCoords2;
    std::vector<Vec3> sharedNormals;   // one per (vertex, smoothing group) in use
    bool receivesShadow = false;
    bool shadowFlag = false;           // stored only
    Material* material = nullptr;      // the first face's material; not owned
    Light* bumpLight = nullptr;        // drives the bump mapping; not owned
    HighlightRenderer* highlight = nullptr; // attached by an effect; not owned

    std::vector<uint32_t> indices;     // 0 .. 3F - 1
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> coords1;
    std::vector<float> coords2;
    std::vector<float> reflectionCoords;
    std::vector<float> lightVectors;
    std::vector<float> rampCoords;     // 1 float a corner, modes 8 and 9
};
