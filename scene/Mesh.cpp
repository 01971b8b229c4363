#include "scene/Mesh.h"

#include "scene/Material.h"
#include "scene/Scene.h"
#include "scene/SceneErrors.h"

#include <bit>
#include <cassert>
#include <cstdio>

namespace {

// Index of smoothing group `group` among the groups in use at a vertex:
// the groups of each vertex are stored consecutively from its offset.
inline uint32_t groupSlot(uint32_t offset, uint32_t vertexMask, int group)
{
    uint32_t below = group == 0 ? 0u : vertexMask & ((1u << group) - 1u);
    return offset + uint32_t(std::popcount(below));
}

inline uint32_t effectiveGroups(uint32_t mask)
{
    return mask ? mask : 1u; // no group smooths as group 0
}

inline int highestGroup(uint32_t mask)
{
    return 31 - std::countl_zero(mask);
}

} // namespace

SceneObject* Mesh::clone() const
{
    Mesh* copy = new Mesh(name.c_str(), id);
    copyMeshTo(*copy);
    return copy;
}

void Mesh::copyMeshTo(Mesh& copy) const
{
    copyBaseTo(copy);
    copy.vertices = vertices;
    copy.faces = faces;
    copy.texCoords1 = texCoords1;
    copy.texCoords2 = texCoords2;
    copy.sharedNormals = sharedNormals;
    copy.receivesShadow = receivesShadow;
    copy.shadowFlag = shadowFlag;
    copy.material = material;
    copy.bumpLight = bumpLight;
    copy.highlight = highlight;
    copy.indices = indices;
    copy.positions = positions;
    copy.normals = normals;
    copy.coords1 = coords1;
    copy.coords2 = coords2;
    copy.reflectionCoords = reflectionCoords;
    copy.lightVectors = lightVectors;
    copy.rampCoords = rampCoords;
}

const Vec3& Mesh::getCornerNormal(int face, int corner) const
{
    static const Vec3 none;
    int index = faces[size_t(face)].normalIndex[corner];
    return index >= 0 ? sharedNormals[size_t(index)] : none;
}

// ---------------------------------------------------------------------------
// prepare: face normals, tangent frames and per-corner normals by smoothing
// group. Every step is one pass over the faces or the vertices: the group
// normals of a vertex live in one shared array, found by counting the groups
// in use at that vertex below the wanted one.

void Mesh::prepareSelf()
{
    const size_t vertexCount = vertices.size();
    for (Vertex& v : vertices) {
        v.normal.clear();
        v.tangent.clear();
        v.binormal.clear();
    }

    std::vector<uint32_t> groupsAtVertex(vertexCount, 0);
    static const TexCoord noCoord;
    for (Face& f : faces) {
        const Vec3& p0 = vertices[size_t(f.vertexIndex[0])].position;
        const Vec3& p1 = vertices[size_t(f.vertexIndex[1])].position;
        const Vec3& p2 = vertices[size_t(f.vertexIndex[2])].position;
        Vec3 e1 = p1 - p0;
        Vec3 e2 = p2 - p0;
        Vec3 n = Vec3::cross(e1, e2);
        n.normalise();
        f.faceNormal = n;

        bool haveCoords = !texCoords1.empty();
        const TexCoord& t0 = haveCoords ? texCoords1[size_t(f.texIndex1[0])] : noCoord;
        const TexCoord& t1 = haveCoords ? texCoords1[size_t(f.texIndex1[1])] : noCoord;
        const TexCoord& t2 = haveCoords ? texCoords1[size_t(f.texIndex1[2])] : noCoord;
        Vec3 s = e1 * (t0.v - t1.v) - e2 * (t0.v - t2.v);
        Vec3 t = e1 * (t0.u - t1.u) - e2 * (t0.u - t2.u);
        s.normalise();
        t.normalise();
        if (Vec3::cross(t, s).dot(n) < 0.0f) {
            s = s * -1.0f;
            t = t * -1.0f;
        }

        uint32_t groups = effectiveGroups(f.smoothingGroups);
        for (int corner = 0; corner < 3; ++corner) {
            size_t vi = size_t(f.vertexIndex[corner]);
            Vertex& v = vertices[vi];
            v.normal.add(n);
            v.binormal.add(s);
            v.tangent.add(t);
            groupsAtVertex[vi] |= groups;
        }
    }

    // Where each vertex's group normals start in the shared array.
    std::vector<uint32_t> offset(vertexCount);
    uint32_t total = 0;
    for (size_t vi = 0; vi < vertexCount; ++vi) {
        offset[vi] = total;
        total += uint32_t(std::popcount(groupsAtVertex[vi]));
    }
    sharedNormals.assign(total, Vec3());

    for (const Face& f : faces) {
        uint32_t groups = effectiveGroups(f.smoothingGroups);
        for (uint32_t rest = groups; rest; rest &= rest - 1) {
            int group = std::countr_zero(rest);
            for (int corner = 0; corner < 3; ++corner) {
                size_t vi = size_t(f.vertexIndex[corner]);
                sharedNormals[groupSlot(offset[vi], groupsAtVertex[vi], group)].add(f.faceNormal);
            }
        }
    }

    for (Vertex& v : vertices) {
        v.normal.normalise();
        v.tangent.normalise();
        v.binormal.normalise();
    }
    for (Vec3& n : sharedNormals)
        n.normalise();

    // A face in several groups takes the normal of its highest group.
    for (Face& f : faces) {
        int group = highestGroup(effectiveGroups(f.smoothingGroups));
        for (int corner = 0; corner < 3; ++corner) {
            size_t vi = size_t(f.vertexIndex[corner]);
            f.normalIndex[corner] = int(groupSlot(offset[vi], groupsAtVertex[vi], group));
        }
    }
}

// ---------------------------------------------------------------------------
// resolve: materials and the draw arrays

bool Mesh::resolveSelf(Scene* owner)
{
    scene = owner;
    bumpLight = owner ? owner->getLightCursor() : nullptr;
    for (Face& f : faces) {
        f.material = owner ? owner->findMaterial(f.materialId) : nullptr;
        if (!f.material) {
            char message[64];
            std::snprintf(message, sizeof message, "face material not found: %d\n", f.materialId);
            return sceneError(message);
        }
        f.renderMode = f.material->getRenderMode();
    }
    material = faces.empty() ? nullptr : faces[0].material;
    buildArrays();
    return true;
}

void Mesh::buildArrays()
{
    const size_t corners = faces.size() * 3;
    positions.assign(corners * 3, 0.0f);
    normals.assign(corners * 3, 0.0f);
    indices.resize(corners);
    for (size_t i = 0; i < corners; ++i)
        indices[i] = uint32_t(i);

    bool first = !texCoords1.empty();
    bool second = !texCoords2.empty();
    coords1.assign(first ? corners * 2 : 0, 0.0f);
    coords2.assign(second ? corners * 2 : 0, 0.0f);
    reflectionCoords.assign(material && material->getUsesReflection() ? corners * 2 : 0, 0.0f);
    lightVectors.assign(material && material->getBumpMap() ? corners * 3 : 0, 0.0f);
    rampCoords.assign(material && material->getUsesRamp() ? corners : 0, 0.0f);

    for (size_t fi = 0; fi < faces.size(); ++fi) {
        const Face& f = faces[fi];
        for (int corner = 0; corner < 3; ++corner) {
            size_t c = fi * 3 + size_t(corner);
            const Vec3& p = vertices[size_t(f.vertexIndex[corner])].position;
            const Vec3& n = getCornerNormal(int(fi), corner);
            positions[c * 3 + 0] = p.x;
            positions[c * 3 + 1] = p.y;
            positions[c * 3 + 2] = p.z;
            normals[c * 3 + 0] = n.x;
            normals[c * 3 + 1] = n.y;
            normals[c * 3 + 2] = n.z;
            if (first) {
                const TexCoord& t = texCoords1[size_t(f.texIndex1[corner])];
                coords1[c * 2 + 0] = t.u;
                coords1[c * 2 + 1] = t.v;
            }
            if (second) {
                const TexCoord& t = texCoords2[size_t(f.texIndex2[corner])];
                coords2[c * 2 + 0] = t.u;
                coords2[c * 2 + 1] = t.v;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Material changes after loading. The arrays are not rebuilt.

void Mesh::setMaterialSelf(Material* m)
{
    material = m;
    for (Face& f : faces) {
        f.material = m;
        f.renderMode = m ? m->getRenderMode() : 0;
    }
}

void Mesh::setRenderModeSelf(int mode)
{
    if (material)
        material->setRenderMode(mode);
    Material* done = material;
    for (Face& f : faces) {
        if (f.material && f.material != done) {
            f.material->setRenderMode(mode);
            done = f.material;
        }
        f.renderMode = mode;
    }
}
