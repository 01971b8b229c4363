#include "tools/vpimport/SmoothingGroups.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

// Normals closer than this (the cosine of about 1.8 degrees) are the same
// normal written twice, as files do at texture seams.
constexpr float kSameNormal = 0.9995f;
// At most this many regions around one vertex are told apart; a fan of more
// flat faces than that (a cone's tip) is rare and costs quadratic time.
constexpr size_t kMaxRegionsAtVertex = 64;

struct Regions {
    std::vector<uint32_t> parent;
    explicit Regions(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0u); }
    uint32_t find(uint32_t a)
    {
        while (parent[a] != a) {
            parent[a] = parent[parent[a]];
            a = parent[a];
        }
        return a;
    }
    void join(uint32_t a, uint32_t b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            parent[std::max(a, b)] = std::min(a, b);
    }
};

// The corners of each vertex, grouped: corner indices (3 * face + k) sorted
// by vertex, with offsets per vertex.
struct VertexCorners {
    std::vector<uint32_t> start;
    std::vector<uint32_t> corner;
};

VertexCorners cornersByVertex(size_t vertexCount, const std::vector<uint32_t>& corners)
{
    VertexCorners vc;
    vc.start.assign(vertexCount + 1, 0);
    for (uint32_t v : corners)
        ++vc.start[v + 1];
    for (size_t i = 0; i < vertexCount; ++i)
        vc.start[i + 1] += vc.start[i];
    vc.corner.resize(corners.size());
    std::vector<uint32_t> fill(vc.start.begin(), vc.start.end() - 1);
    for (uint32_t c = 0; c < corners.size(); ++c)
        vc.corner[fill[corners[c]]++] = c;
    return vc;
}

Vec3 faceNormal(const std::vector<Vec3>& p, const std::vector<uint32_t>& corners, size_t f)
{
    Vec3 n = Vec3::cross(p[corners[3 * f + 1]] - p[corners[3 * f]], p[corners[3 * f + 2]] - p[corners[3 * f]]);
    float len = n.length();
    return len > 0.0f ? n * (1.0f / len) : Vec3();
}

// One group per region; regions that meet at a vertex get different groups.
std::vector<uint32_t> colourRegions(Regions& regions, size_t vertexCount, const std::vector<uint32_t>& corners)
{
    size_t faces = corners.size() / 3;
    std::vector<uint32_t> region(faces);
    for (uint32_t f = 0; f < faces; ++f)
        region[f] = regions.find(f);

    // Which regions touch each other: pairs gathered per vertex, then sorted.
    VertexCorners vc = cornersByVertex(vertexCount, corners);
    std::vector<std::pair<uint32_t, uint32_t>> touching;
    std::vector<uint32_t> here;
    for (size_t v = 0; v < vertexCount; ++v) {
        here.clear();
        for (uint32_t i = vc.start[v]; i < vc.start[v + 1]; ++i)
            here.push_back(region[vc.corner[i] / 3]);
        std::sort(here.begin(), here.end());
        here.erase(std::unique(here.begin(), here.end()), here.end());
        if (here.size() > kMaxRegionsAtVertex)
            here.resize(kMaxRegionsAtVertex);
        for (size_t a = 0; a < here.size(); ++a)
            for (size_t b = a + 1; b < here.size(); ++b) {
                touching.emplace_back(here[a], here[b]);
                touching.emplace_back(here[b], here[a]);
            }
    }
    std::sort(touching.begin(), touching.end());
    touching.erase(std::unique(touching.begin(), touching.end()), touching.end());

    // Greedy colouring in face order, which keeps neighbouring regions of a
    // mesh from one tool in a steady order.
    std::vector<int> group(faces, -1);
    for (uint32_t f = 0; f < faces; ++f) {
        uint32_t r = region[f];
        if (group[r] >= 0)
            continue;
        int uses[32] = {};
        auto first = std::lower_bound(touching.begin(), touching.end(), std::make_pair(r, 0u));
        for (auto it = first; it != touching.end() && it->first == r; ++it)
            if (group[it->second] >= 0)
                ++uses[group[it->second]];
        int best = 0;
        for (int k = 0; k < 32; ++k)
            if (uses[k] < uses[best])
                best = k;
        group[r] = best;
    }
    std::vector<uint32_t> masks(faces);
    for (uint32_t f = 0; f < faces; ++f)
        masks[f] = 1u << group[region[f]];
    return masks;
}

} // namespace

std::vector<uint32_t> groupsFromNormals(const std::vector<Vec3>& positions, const std::vector<uint32_t>& corners,
                                        const std::vector<Vec3>& cornerNormals)
{
    size_t faces = corners.size() / 3;
    Regions regions(faces);
    VertexCorners vc = cornersByVertex(positions.size(), corners);
    // Around each vertex, a corner joins the first earlier corner there with
    // the same normal.
    std::vector<uint32_t> seen;
    for (size_t v = 0; v < positions.size(); ++v) {
        seen.clear();
        for (uint32_t i = vc.start[v]; i < vc.start[v + 1]; ++i) {
            uint32_t c = vc.corner[i];
            Vec3 n = cornerNormals[c];
            bool joined = false;
            for (uint32_t s : seen)
                if (n.dot(cornerNormals[s]) >= kSameNormal) {
                    regions.join(c / 3, s / 3);
                    joined = true;
                    break;
                }
            if (!joined)
                seen.push_back(c);
        }
    }
    return colourRegions(regions, positions.size(), corners);
}

std::vector<uint32_t> groupsByAngle(const std::vector<Vec3>& positions, const std::vector<uint32_t>& corners,
                                    float degrees)
{
    size_t faces = corners.size() / 3;
    Regions regions(faces);
    std::vector<Vec3> normals(faces);
    for (size_t f = 0; f < faces; ++f)
        normals[f] = faceNormal(positions, corners, f);
    float limit = std::cos(degrees * 0.017453292f);

    // Each edge once per face, keyed by its two vertices in either direction.
    std::vector<std::pair<uint64_t, uint32_t>> edges;
    edges.reserve(corners.size());
    for (uint32_t f = 0; f < faces; ++f)
        for (int k = 0; k < 3; ++k) {
            uint64_t a = corners[3 * f + k], b = corners[3 * f + (k + 1) % 3];
            edges.emplace_back(a < b ? (a << 32 | b) : (b << 32 | a), f);
        }
    std::sort(edges.begin(), edges.end());
    for (size_t i = 0; i < edges.size();) {
        size_t j = i + 1;
        while (j < edges.size() && edges[j].first == edges[i].first)
            ++j;
        for (size_t a = i; a < j; ++a)
            for (size_t b = a + 1; b < j; ++b)
                if (normals[edges[a].second].dot(normals[edges[b].second]) >= limit)
                    regions.join(edges[a].second, edges[b].second);
        i = j;
    }
    return colourRegions(regions, positions.size(), corners);
}
