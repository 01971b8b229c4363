#include "scene/NormalisationCubeMap.h"

#include "math/Vec3.h"

#include <GL/glext.h>

#include <cstddef>
#include <vector>

void fillNormalisationCubeFace(int face, int size, unsigned char* texels)
{
    float half = size * 0.5f;
    unsigned char* out = texels;
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float a = i + 0.5f - half;
            float b = j + 0.5f - half;
            Vec3 d;
            switch (face) {
            case 0: d.set(half, -b, -a); break;
            case 1: d.set(-half, -b, a); break;
            case 2: d.set(a, half, b); break;
            case 3: d.set(a, -half, -b); break;
            case 4: d.set(a, -b, half); break;
            default: d.set(-a, -b, -half); break;
            }
            d.normalise();
            *out++ = static_cast<unsigned char>(255.0f * (0.5f * d.x + 0.5f));
            *out++ = static_cast<unsigned char>(255.0f * (0.5f * d.y + 0.5f));
            *out++ = static_cast<unsigned char>(255.0f * (0.5f * d.z + 0.5f));
        }
    }
}

GLuint createNormalisationCubeMap()
{
    const int size = kNormalisationCubeSize;
    std::vector<unsigned char> texels(std::size_t(size) * size * 3);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, name);
    for (int face = 0; face < 6; ++face) {
        fillNormalisationCubeFace(face, size, texels.data());
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face, 0, GL_RGB8, size, size, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, texels.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    return name;
}
