#pragma once
// Grows a tree from its parameters, every time it is drawn.
//
// How it works: the trunk (level 0) draws nothing itself; it turns the
// matrix once per trunk segment by the trunk's curvature and places the
// level-1 branches around its origin. A branch is a chain of square prisms
// along +z, bending by its curvature (and the sway) after every segment, and
// places its children along itself the same way, down to the last level.
// The random values come from the process-wide generator, reseeded with the
// tree's seed on every pass and drawn in a fixed order, so every pass places
// the same branches.
//
// Growth reveals the tree level by level: level d shows in the window
// [d / (levels + 1), (d + 1) / (levels + 1)) of the growth value, segment by
// segment; a segment inside the window is drawn shortened to the grown
// fraction and closed with a white cap. The sway time bends every branch
// segment by the same swinging angle.
//
// The geometry goes to a TreeDrawPath: GL immediate mode for the picture, or
// a recorder in tests and benchmarks.

struct TreeLevel;
struct TreeParameters;

// Where the generated geometry goes. The calls mirror the GL ones they stand
// for: matrix operations on the modelview matrix, and quads between
// beginQuads and endQuads given as colour, normal and vertices.
class TreeDrawPath {
public:
    virtual ~TreeDrawPath() = default;
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void rotate(float degrees, float x, float y, float z) = 0;
    virtual void beginQuads() = 0;
    virtual void grey(float level) = 0;
    virtual void normal(float x, float y, float z) = 0;
    virtual void vertex(float x, float y, float z) = 0;
    virtual void endQuads() = 0;
};

class TreeGenerator {
public:
    // Work one pass may do, counted in segments drawn and child positions
    // tried. A production tree takes a few thousand; a file asking for far
    // more would stall the frame, so the pass ends there and the rest of the
    // tree is left out. A caller that can afford less (a preview, a fuzzer
    // trying thousands of trees a second) passes its own bound.
    static constexpr int kMaxSteps = 200000;
    // Children one branch (or the trunk) places at most; a count from the
    // branch formulas beyond it is cut to it, one that is not a number is 0.
    static constexpr int kMaxStems = 10000;

    TreeGenerator(const TreeParameters& parameters, float growth, float swayTime, TreeDrawPath& path,
                  int maxSteps = kMaxSteps);

    // One pass: reseeds the generator and sends the whole tree to the path.
    void generate();

    // Set by generate().
    float getSway1() const { return sway1; }
    float getSway2() const { return sway2; }
    float getBaseLength() const { return baseLength; }
    int getBranchCount() const { return branchCount; }
    int getSteps() const { return steps; }

    // Geometry of one segment: four sides of a prism of half width w from
    // z = 0 to h, greys s to s + 0.3; and a square cap of half width w at z = 0.
    static void prism(TreeDrawPath& path, float w, float h, float shade);
    static void cap(TreeDrawPath& path, float w, float shade);

private:
    void branch(int depth, float parentLength, float offset, float parentRadius);
    // The child count of the formulas, truncated and kept within 0 .. kMaxStems.
    static int stemCount(float value);
    // Takes one step of the pass's work; false once it is used up.
    bool step();
    // The bend after segment j of a branch of `record`.
    static float segmentAngle(const TreeLevel& record, int j, float segCurve, float segCurveBack);

    const TreeParameters& p;
    float growth;
    float swayTime;
    TreeDrawPath& path;

    float sway1 = 0.0f;      // degrees added to every branch segment's bend
    float sway2 = 0.0f;      // phase of the level-1 branches' extra swing
    float baseLength = 0.0f; // trunk length without branches
    int branchCount = 0;     // branches placed
    int maxSteps;
    int steps = 0;
};
