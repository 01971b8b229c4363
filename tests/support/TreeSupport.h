#pragma once
// A tree parameter file for the tests, and a recording draw path.
//
// TreeRecorder: a TreeDrawPath that keeps what GL would be sent: it runs the matrix
// operations on a stack of its own (column-major, as GL multiplies) and
// records every quad corner both as given and transformed, with the depth of
// the matrix stack at the time (the trunk's own push is depth 1, so the
// quads of branch level d are drawn at depth d + 1).

#include "effects/TreeGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

class TreeRecorder : public TreeDrawPath {
public:
    struct Corner {
        float local[3];  // as given to vertex()
        float world[3];  // through the current matrix
        float grey;
        int depth;       // pushes outstanding
        int cap;         // 1 in a batch of one quad (a cap), 0 in a prism
    };

    std::vector<Corner> corners; // only while keepCorners is set
    bool keepCorners = true;
    size_t cornerCount = 0;
    int batches = 0;
    int maxDepth = 0;
    bool balanced = true; // no pop without a push, no quads left open
    bool inQuads = false;

    TreeRecorder() { stack.push_back(identity()); }

    void pushMatrix() override
    {
        stack.push_back(stack.back());
        maxDepth = std::max(maxDepth, depth());
    }
    void popMatrix() override
    {
        if (stack.size() == 1) {
            balanced = false;
            return;
        }
        stack.pop_back();
    }
    void translate(float x, float y, float z) override
    {
        Matrix t = identity();
        t.m[12] = x;
        t.m[13] = y;
        t.m[14] = z;
        multiply(t);
    }
    void rotate(float degrees, float x, float y, float z) override
    {
        ++rotations;
        float len = std::sqrt(x * x + y * y + z * z);
        if (len == 0.0f)
            return;
        x /= len;
        y /= len;
        z /= len;
        float r = degrees * 3.14159265358979f / 180.0f;
        float c = std::cos(r), s = std::sin(r), ic = 1.0f - c;
        Matrix m = identity();
        m.m[0] = x * x * ic + c;
        m.m[1] = y * x * ic + z * s;
        m.m[2] = x * z * ic - y * s;
        m.m[4] = x * y * ic - z * s;
        m.m[5] = y * y * ic + c;
        m.m[6] = y * z * ic + x * s;
        m.m[8] = x * z * ic + y * s;
        m.m[9] = y * z * ic - x * s;
        m.m[10] = z * z * ic + c;
        multiply(m);
    }
    void beginQuads() override
    {
        if (inQuads)
            balanced = false;
        inQuads = true;
        ++batches;
        batchStart = corners.size();
    }
    void grey(float level) override { currentGrey = level; }
    void normal(float, float, float) override {}
    void vertex(float x, float y, float z) override
    {
        ++cornerCount;
        if (!keepCorners)
            return;
        const float* m = stack.back().m;
        Corner c{{x, y, z},
                 {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                  m[2] * x + m[6] * y + m[10] * z + m[14]},
                 currentGrey,
                 depth(),
                 0};
        corners.push_back(c);
    }
    void endQuads() override
    {
        if (!inQuads)
            balanced = false;
        inQuads = false;
        if (corners.size() - batchStart == 4)
            corners.back().cap = corners[corners.size() - 2].cap = corners[corners.size() - 3].cap =
                corners[corners.size() - 4].cap = 1;
    }

    int depth() const { return int(stack.size()) - 1; }
    int matrixRotations() const { return rotations; }

    // FNV-1a over the transformed corners rounded to 1/1000 of a unit and
    // the greys to 1/1000: the same geometry gives the same value on any
    // compiler, a moved or missing segment a different one.
    uint64_t checksum() const
    {
        uint64_t h = 1469598103934665603ull;
        auto mix = [&h](long v) {
            for (int i = 0; i < 8; ++i) {
                h ^= static_cast<uint64_t>(v >> (8 * i)) & 0xFF;
                h *= 1099511628211ull;
            }
        };
        for (const Corner& c : corners) {
            for (float v : c.world)
                mix(std::lround(double(v) * 1000.0));
            mix(std::lround(double(c.grey) * 1000.0));
        }
        return h;
    }

    bool sameAs(const TreeRecorder& other) const
    {
        return corners.size() == other.corners.size() &&
               std::memcmp(corners.data(), other.corners.data(), corners.size() * sizeof(Corner)) == 0;
    }

private:
    struct Matrix {
        float m[16];
    };
    static Matrix identity()
    {
        Matrix i{};
        i.m[0] = i.m[5] = i.m[10] = i.m[15] = 1.0f;
        return i;
    }
    // current = current x t, as glMultMatrix does.
    void multiply(const Matrix& t)
    {
        Matrix& a = stack.back();
        Matrix r{};
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 4; ++row) {
                float v = 0.0f;
                for (int k = 0; k < 4; ++k)
                    v += a.m[k * 4 + row] * t.m[col * 4 + k];
                r.m[col * 4 + row] = v;
            }
        a = r;
    }

    std::vector<Matrix> stack;
    float currentGrey = 0.0f;
    int rotations = 0;
    size_t batchStart = 0;
};

// A three-level tree with comments and blank lines between its data lines.
inline const char* kTreeFile = "# tree\n"
                        "0 4711\n"
                        "0.25\n"
                        "\n"
                        "10\n"
                        "3\n"
                        "0.03 1.3\n"
                        "0\n"
                        "0\n"
                        "1.0 0.0\n"
                        "1.0 0.2\n"
                        "0\n"
                        "0\n"
                        "4 5 0 10\n"
                        "# level 1\n"
                        "70 -30\n"
                        "140 20 24\n"
                        "0.5 0.1\n"
                        "0\n"
                        "4 -20 0 30\n"
                        "# level 2\n"
                        "45 10\n"
                        "120 30 14\n"
                        "0.6 0.1\n"
                        "0\n"
                        "4 30 -30 20\n"
                        "# level 3\n"
                        "40 10\n"
                        "100 20 10\n"
                        "0.5 0\n"
                        "0\n"
                        "3 10 0 10\n";

