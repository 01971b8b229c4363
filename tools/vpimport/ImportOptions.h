#pragma once
// What the user asked of one import.

#include <string>

struct ImportOptions {
    std::string model;        // the file to read
    std::string output;       // the scene file to write; its folder gets textures/
    float scale = 1.0f;       // multiplies every size, after the unit conversion
    float units = 0.0f;       // centimetres per unit of a file that does not say; 0: the format's custom
    int fps = 0;              // samples per second of animation; 0: the default
    float smoothAngle = -1.0f; // degrees; below 0: smoothing from the file's normals
    std::string animation;    // the one animation to carry over; empty: all of them
    bool verbose = false;
};
