#pragma once
// Helpers for the scene tests: write a scene built with the scene writer (or
// raw bytes) to a file in the test's working directory and load it through
// the real reader. Each test runs in its own process, so the scene manager
// starts empty in every test.

#include "scene/Scene.h"
#include "scene/SceneManager.h"
#include "scene/SceneReader.h"
#include "tools/scenewriter/SceneWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

// A file named after the running test ("<suite>.<test>.<stem>.vsc"), removed
// again at the end of the test. A death test's child writes the same name, so
// an early exit leaves one file behind at most, and messages can name it.
struct SceneFile {
    std::string path;

    static std::string nameFor(const char* stem)
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scene";
        return name + "." + stem + ".vsc";
    }

    explicit SceneFile(const std::vector<unsigned char>& bytes, const char* stem = "scene")
        : path(nameFor(stem))
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f) {
            if (!bytes.empty())
                std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    explicit SceneFile(const SceneWriter& writer, const char* stem = "scene") : SceneFile(writer.toBytes(), stem) {}
    ~SceneFile() { std::remove(path.c_str()); }

    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;
};

inline Scene* loadScene(const SceneFile& file, const char* textureDirectory = "data/textures/")
{
    SceneReader reader;
    return reader.load(file.path.c_str(), textureDirectory);
}

// The material every test mesh can use: id 1, no textures.
inline MaterialRecord& addPlainMaterial(SceneWriter& w, int32_t id = 1, const char* name = "plain")
{
    return w.addMaterial(id, name);
}

// One triangle in the x-y plane facing +z.
inline MeshRecord& addTriangle(SceneWriter& w, int32_t id, const char* name, int32_t materialId, int32_t parentId = 0)
{
    MeshRecord& m = w.addMesh(id, name, parentId);
    m.addVertex(Vec3(0, 0, 0));
    m.addVertex(Vec3(1, 0, 0));
    m.addVertex(Vec3(0, 1, 0));
    m.addFace(0, 1, 2, materialId);
    return m;
}
