#include "tools/vpimport/MeshConversion.h"

#include "tools/vpimport/SmoothingGroups.h"

#include <cstring>
#include <utility>
#include <unordered_map>

namespace {

struct PositionKey {
    uint32_t bits[3];
    bool operator==(const PositionKey& o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

struct PositionHash {
    size_t operator()(const PositionKey& k) const
    {
        uint64_t h = 1469598103934665603ull;
        for (uint32_t b : k.bits)
            h = (h ^ b) * 1099511628211ull;
        return size_t(h);
    }
};

PositionKey keyOf(const aiVector3D& p)
{
    PositionKey k;
    // +0.0f folds -0 into 0, so the two spellings of zero weld.
    float v[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
    std::memcpy(k.bits, v, sizeof k.bits);
    return k;
}

} // namespace

size_t convertMesh(const aiMesh& mesh, int32_t materialId, const aiMatrix4x4& bake, float smoothAngle, float defaultAngle, MeshRecord& out)
{
    // Weld: one engine vertex per distinct position.
    std::vector<uint32_t> welded(mesh.mNumVertices);
    std::unordered_map<PositionKey, uint32_t, PositionHash> index;
    index.reserve(mesh.mNumVertices);
    out.vertices.reserve(mesh.mNumVertices);
    const aiMatrix3x3 normalBake = aiMatrix3x3(bake).Inverse().Transpose();
    const bool mirrored = aiMatrix3x3(bake).Determinant() < 0.0f;
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D p = bake * mesh.mVertices[i];
        auto [it, added] = index.emplace(keyOf(p), uint32_t(out.vertices.size()));
        if (added)
            out.vertices.emplace_back(p.x, p.y, p.z);
        welded[i] = it->second;
    }

    // Coordinates as the tool wrote them (v up from the bottom of the
    // picture), one per source vertex; a mesh without them gets one (0, 0)
    // so that every face can name a coordinate.
    if (mesh.HasTextureCoords(0)) {
        out.coords1.reserve(mesh.mNumVertices);
        for (unsigned i = 0; i < mesh.mNumVertices; ++i)
            out.coords1.push_back({mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y});
    } else {
        out.coords1.push_back({0.0f, 0.0f});
    }
    if (mesh.HasTextureCoords(1)) {
        out.coords2.reserve(mesh.mNumVertices);
        for (unsigned i = 0; i < mesh.mNumVertices; ++i)
            out.coords2.push_back({mesh.mTextureCoords[1][i].x, mesh.mTextureCoords[1][i].y});
    }
    const bool perVertex1 = mesh.HasTextureCoords(0);
    const bool perVertex2 = mesh.HasTextureCoords(1);

    std::vector<uint32_t> corners;
    std::vector<Vec3> cornerNormals;
    const bool fromNormals = smoothAngle < 0.0f && mesh.HasNormals();
    corners.reserve(size_t(mesh.mNumFaces) * 3);
    out.faces.reserve(mesh.mNumFaces);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3)
            continue;
        unsigned v[3] = {face.mIndices[0], face.mIndices[1], face.mIndices[2]};
        if (mirrored)
            std::swap(v[1], v[2]);
        uint32_t a = welded[v[0]], b = welded[v[1]], c = welded[v[2]];
        if (a == b || b == c || a == c)
            continue;
        WriterFace wf;
        for (int k = 0; k < 3; ++k) {
            wf.vertex[k] = welded[v[k]];
            wf.coord1[k] = perVertex1 ? v[k] : 0;
            wf.coord2[k] = perVertex2 ? v[k] : 0;
            corners.push_back(welded[v[k]]);
            if (fromNormals) {
                const aiVector3D n = normalBake * mesh.mNormals[v[k]];
                Vec3 nn(n.x, n.y, n.z);
                float len = nn.length();
                cornerNormals.push_back(len > 0.0f ? nn * (1.0f / len) : nn);
            }
        }
        wf.materialId = materialId;
        out.faces.push_back(wf);
    }

    std::vector<uint32_t> groups = fromNormals
        ? groupsFromNormals(out.vertices, corners, cornerNormals)
        : groupsByAngle(out.vertices, corners, smoothAngle < 0.0f ? defaultAngle : smoothAngle);
    for (size_t f = 0; f < out.faces.size(); ++f)
        out.faces[f].smoothingGroups = groups[f];
    return out.faces.size();
}
