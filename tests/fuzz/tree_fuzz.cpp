// Fuzzes the tree parameter reader and grows the tree it reads through a
// recording draw path (no GL).
//
// Beyond the sanitizers, the target checks what the drawing relies on: a
// level count within the drawable range with one more level record, a pass
// that ends within its work bound, and a matrix stack that every pass leaves
// as it found it and never nests deeper than the levels allow.

#include "effects/TreeGenerator.h"
#include "effects/TreeParameters.h"
#include "resources/VFile.h"

#include "support/TreeSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

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
        TreeRecorder recorder;
        recorder.keepCorners = false;
        TreeGenerator generator(p, growth, 40.0f, recorder);
        generator.generate();
        check(generator.getSteps() <= TreeGenerator::kMaxSteps);
        check(recorder.balanced);
        check(recorder.depth() == 0);
        check(recorder.maxDepth <= p.levels + 1);
        // Work bound: each step draws at most a prism and two caps.
        check(recorder.cornerCount <= static_cast<size_t>(TreeGenerator::kMaxSteps) * 24);
    }
    return 0;
}
