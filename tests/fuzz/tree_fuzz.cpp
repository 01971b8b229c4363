// Fuzzes the tree parameter reader and grows the tree it reads through a
// counting draw path (no GL).
//
// Beyond the sanitizers, the target checks what the drawing relies on: a
// level count within the drawable range with one more level record, a pass
// that ends within its work bound, and a matrix stack that every pass leaves
// as it found it and never nests deeper than the levels allow.
//
// The pass runs with a work bound of a few thousand steps, the size of a
// production tree, instead of the player's 200000: every branch of the
// generator, the bound's exits included, is reached as well, and a tree that
// runs into the bound costs a millisecond instead of a tenth of a second.
// The draw path only counts: the transformed geometry is what the unit tests
// check, and multiplying matrices for it took most of each run.

#include "effects/TreeGenerator.h"
#include "effects/TreeParameters.h"
#include "resources/VFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFuzzSteps = 3000;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Keeps the matrix stack's depth and the quad batches' nesting, and counts
// corners.
class CountingPath : public TreeDrawPath {
public:
    void pushMatrix() override { maxDepth = std::max(maxDepth, ++depth); }
    void popMatrix() override
    {
        if (depth == 0)
            balanced = false;
        else
            --depth;
    }
    void translate(float, float, float) override {}
    void rotate(float, float, float, float) override {}
    void beginQuads() override
    {
        if (inQuads)
            balanced = false;
        inQuads = true;
    }
    void grey(float) override {}
    void normal(float, float, float) override {}
    void vertex(float, float, float) override { ++cornerCount; }
    void endQuads() override
    {
        if (!inQuads)
            balanced = false;
        inQuads = false;
    }

    int depth = 0;
    int maxDepth = 0;
    size_t cornerCount = 0;
    bool balanced = true;
    bool inQuads = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VFile file;
    file.data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(file.data, data, size);
    file.size = static_cast<uint32_t>(size);
    file.pos = 0;
    file.valid = true;

    TreeParameters p;
    readTreeParameters(file, p);
    check(p.levels >= 0 && p.levels <= TreeParameters::kMaxLevels);
    check(p.levelRecords.size() == static_cast<size_t>(p.levels) + 1);

    // Two growth values: the tree half grown and whole, swaying.
    for (float growth : {0.6f, 1.0f}) {
        CountingPath path;
        TreeGenerator generator(p, growth, 40.0f, path, kFuzzSteps);
        generator.generate();
        check(generator.getSteps() <= kFuzzSteps);
        check(path.balanced && !path.inQuads);
        check(path.depth == 0);
        check(path.maxDepth <= p.levels + 1);
        // Work bound: each step draws at most a prism and two caps.
        check(path.cornerCount <= static_cast<size_t>(kFuzzSteps) * 24);
    }
    return 0;
}
