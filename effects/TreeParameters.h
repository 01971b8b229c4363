#pragma once
// The parameters of a procedural tree and the reader of its text file
// ("data/tree2.arb").
//
// The file is a list of data lines: a data line is the next line that is
// neither empty nor starts with '#'; every other line is skipped. Lines end in
// CR LF and hold at most 399 characters. The values of a line are blank
// separated integers and floats read in a fixed order; a value that cannot be
// read (or a line missing at the end of the file) keeps the value the field
// had before, and so do the values after it on that line.
//
//   1  shape seed                 7  (ignored)
//   2  baseSize                   8  radiusScale radiusScaleV
//   3  lengthScale                9  scale scaleV
//   4  levels                     10, 11  (ignored)
//   5  ratio ratioPower           12 trunkCurveRes trunkCurve trunkCurveBack trunkCurveV
//   6  (ignored)
// then five lines per level 1 .. levels:
//   downAngle downAngleV / rotate rotateV branches / length lengthV /
//   (ignored) / curveRes curve curveBack curveV
//
// Angles are in degrees, lengths in the units of the object the tree hangs on.

#include <vector>

class VFile;

// The parameters of one branch level (the record of level k + 1 is element k).
struct TreeLevel {
    float downAngle = 60.0f;
    float downAngleV = -50.0f;
    float rotate = 140.0f;
    float rotateV = 0.0f;
    float length = 0.6f;
    float lengthV = 0.0f;
    int branches = 20;       // children along a branch of this level's parent
    int curveRes = 5;        // segments of a branch of this level
    float curve = -40.0f;
    float curveBack = 0.0f;
    float curveV = 50.0f;
};

struct TreeParameters {
    // Branch levels the reader accepts. Every level nests one more matrix on
    // GL's modelview stack (32 deep at least) and multiplies the branches
    // drawn per frame by its branch count, so deeper trees cannot be drawn
    // anyway; a file asking for more gets this many.
    static constexpr int kMaxLevels = 8;

    int shape = 0;           // selects the shape-ratio curve
    int seed = 0;            // of the process-wide generator, per draw
    float baseSize = 0.0f;   // fraction of the trunk without branches
    float lengthScale = 1.0f;
    int levels = 0;          // 0 .. kMaxLevels
    float ratio = 0.0f;      // trunk radius per unit of trunk length
    float ratioPower = 1.0f; // radius exponent down the levels
    float radiusScale = 1.0f;
    float radiusScaleV = 0.0f;
    float scale = 1.0f;
    float scaleV = 0.0f;
    int trunkCurveRes = 3;   // trunk segments
    float trunkCurve = 0.0f;
    float trunkCurveBack = 0.0f; // read, not used
    float trunkCurveV = 20.0f;
    // levels + 1 records: the last only gives the branch count of a level
    // that is never drawn.
    std::vector<TreeLevel> levelRecords{TreeLevel()};
};

// Reads the parameters from an open file, from its current position, into
// `p`: the scalar fields keep their values where the file gives none, the
// level records start from the defaults. Reads nothing past the file's end.
void readTreeParameters(VFile& file, TreeParameters& p);

// The shape ratio of a level-1 branch at relative position x along the trunk
// (0 at the lowest branch, 1 at the top). Shapes 3, 4, 5 and above 7 give 0.
float treeShapeRatio(int shape, float x);
