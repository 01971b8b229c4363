#pragma once
// What the user asked of one import.

#include <string>

struct ImportOptions {
    std::string model;        // the file to read
    std::string output;       // the scene file to write; its folder gets textures/
    float scale = 1.0f;       // multiplies every size, after the unit conversion
    int fps = 0;              // samples per second of animation; 0: the default
    float smoothAngle = -1.0f; // degrees; below 0: smoothing from the file's normals
    bool verbose = false;
};
