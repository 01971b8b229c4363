#include "tools/scenewriter/MeshShapes.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

// One vertex with its coordinates in both sets.
uint32_t addCorner(MeshRecord& mesh, const Vec3& p, float u, float v)
{
    uint32_t index = mesh.addVertex(p);
    mesh.coords1.resize(mesh.vertices.size() - 1);
    mesh.coords2.resize(mesh.vertices.size() - 1);
    mesh.addCoord1(u, v);
    mesh.addCoord2(u, v);
    return index;
}

// Adds the triangle wound so that its normal points away from `inside`;
// degenerate triangles (at the poles) are left out.
void addOutwardFace(MeshRecord& mesh, uint32_t a, uint32_t b, uint32_t c, const Vec3& inside, int32_t material,
                    uint32_t groups)
{
    const Vec3& pa = mesh.vertices[a];
    const Vec3& pb = mesh.vertices[b];
    const Vec3& pc = mesh.vertices[c];
    Vec3 n = Vec3::cross(pb - pa, pc - pa);
    if (n.dot(n) < 1e-12f)
        return;
    Vec3 centre = (pa + pb + pc) * (1.0f / 3.0f);
    if (n.dot(centre - inside) < 0.0f)
        mesh.addFace(a, c, b, material, groups);
    else
        mesh.addFace(a, b, c, material, groups);
}

} // namespace

void addBox(MeshRecord& mesh, const Vec3& size, int32_t materialId)
{
    Vec3 h = size * 0.5f;
    uint32_t base = uint32_t(mesh.vertices.size());
    // Corner k has x, y, z at +h where bits 0, 1, 2 of k are set.
    for (int k = 0; k < 8; ++k)
        mesh.addVertex(Vec3((k & 1) ? h.x : -h.x, (k & 2) ? h.y : -h.y, (k & 4) ? h.z : -h.z));
    // Four shared coordinates in each set: the corners of the unit square.
    mesh.coords1.resize(base);
    mesh.coords2.resize(base);
    uint32_t coordBase = base;
    const float square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 8; ++i) {
        mesh.addCoord1(square[i % 4][0], square[i % 4][1]);
        mesh.addCoord2(square[i % 4][0], square[i % 4][1]);
    }

    // Each side: outward normal n and in-plane axes u, v with u x v = n.
    struct Side {
        Vec3 n, u, v;
    };
    const Side sides[6] = {
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    };
    const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int s = 0; s < 6; ++s) {
        uint32_t corner[4];
        for (int c = 0; c < 4; ++c) {
            Vec3 dir = sides[s].n + sides[s].u * signs[c][0] + sides[s].v * signs[c][1];
            int k = (dir.x > 0 ? 1 : 0) | (dir.y > 0 ? 2 : 0) | (dir.z > 0 ? 4 : 0);
            corner[c] = base + uint32_t(k);
        }
        uint32_t group = 1u << (s + 1);
        for (int t = 0; t < 2; ++t) {
            uint32_t tri[3] = {corner[0], corner[t + 1], corner[t + 2]};
            uint32_t uv[3] = {0, uint32_t(t + 1), uint32_t(t + 2)};
            WriterFace& f = mesh.addFace(tri[0], tri[1], tri[2], materialId, group);
            for (int i = 0; i < 3; ++i)
                f.coord1[i] = f.coord2[i] = coordBase + uv[i];
        }
    }
}

void addSphere(MeshRecord& mesh, float radius, int segments, int rings, int32_t materialId)
{
    if (segments < 3)
        segments = 3;
    if (rings < 2)
        rings = 2;
    uint32_t base = uint32_t(mesh.vertices.size());
    for (int r = 0; r <= rings; ++r) {
        float theta = kPi * float(r) / float(rings);
        for (int s = 0; s <= segments; ++s) {
            float phi = 2.0f * kPi * float(s) / float(segments);
            Vec3 p(radius * std::sin(theta) * std::cos(phi), radius * std::cos(theta),
                   radius * std::sin(theta) * std::sin(phi));
            addCorner(mesh, p, float(s) / float(segments), float(r) / float(rings));
        }
    }
    uint32_t row = uint32_t(segments + 1);
    Vec3 centre;
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            uint32_t a = base + uint32_t(r) * row + uint32_t(s);
            uint32_t b = a + 1;
            uint32_t c = a + row;
            uint32_t d = c + 1;
            addOutwardFace(mesh, a, c, b, centre, materialId, 1);
            addOutwardFace(mesh, b, c, d, centre, materialId, 1);
        }
    }
}

void addGrid(MeshRecord& mesh, float width, float depth, int cellsX, int cellsZ, int32_t materialId)
{
    if (cellsX < 1)
        cellsX = 1;
    if (cellsZ < 1)
        cellsZ = 1;
    uint32_t base = uint32_t(mesh.vertices.size());
    for (int z = 0; z <= cellsZ; ++z) {
        for (int x = 0; x <= cellsX; ++x) {
            float fx = float(x) / float(cellsX);
            float fz = float(z) / float(cellsZ);
            addCorner(mesh, Vec3((fx - 0.5f) * width, 0.0f, (fz - 0.5f) * depth), fx, fz);
        }
    }
    uint32_t row = uint32_t(cellsX + 1);
    for (int z = 0; z < cellsZ; ++z) {
        for (int x = 0; x < cellsX; ++x) {
            uint32_t a = base + uint32_t(z) * row + uint32_t(x);
            uint32_t b = a + row; // z + 1
            uint32_t c = a + 1;   // x + 1
            uint32_t d = b + 1;
            mesh.addFace(a, b, c, materialId, 1);
            mesh.addFace(c, b, d, materialId, 1);
        }
    }
}

void addTorus(MeshRecord& mesh, float major, float minor, int segments, int sides, int32_t materialId)
{
    if (segments < 3)
        segments = 3;
    if (sides < 3)
        sides = 3;
    uint32_t base = uint32_t(mesh.vertices.size());
    for (int s = 0; s <= segments; ++s) {
        float phi = 2.0f * kPi * float(s) / float(segments);
        for (int t = 0; t <= sides; ++t) {
            float theta = 2.0f * kPi * float(t) / float(sides);
            float ring = major + minor * std::cos(theta);
            Vec3 p(ring * std::cos(phi), minor * std::sin(theta), ring * std::sin(phi));
            addCorner(mesh, p, float(s) / float(segments), float(t) / float(sides));
        }
    }
    uint32_t row = uint32_t(sides + 1);
    for (int s = 0; s < segments; ++s) {
        float phi = 2.0f * kPi * (float(s) + 0.5f) / float(segments);
        Vec3 inside(major * std::cos(phi), 0.0f, major * std::sin(phi));
        for (int t = 0; t < sides; ++t) {
            uint32_t a = base + uint32_t(s) * row + uint32_t(t);
            uint32_t b = a + 1;
            uint32_t c = a + row;
            uint32_t d = c + 1;
            addOutwardFace(mesh, a, b, c, inside, materialId, 1);
            addOutwardFace(mesh, b, d, c, inside, materialId, 1);
        }
    }
}
