// The importer's subtle part: a source node's transform, mirrored and
// scaled, split into the engine's rigid object and baked vertices, read back
// through the real scene reader, must put every vertex where the source tool
// did and give every corner the normal the tool showed (hard edges stay
// hard, shared normals stay smooth, faces keep facing out); the FBX axes and
// units become the engine's; a glTF camera keeps its vertical angle; a
// file's animations play together; and a JPEG texture reaches the engine
// the right way up.

#include "support/ImageFiles.h"
#include "support/SceneTestSupport.h"

#include "math/Matrix4.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "tools/vpimport/EngineAxes.h"
#include "tools/vpimport/ModelReader.h"
#include "tools/vpimport/NodePoses.h"
#include "tools/vpimport/SceneConversion.h"

#include <assimp/metadata.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

// A cube of side 2 around the origin, as a file stores it: with `flat`, 24
// vertices, each side its own four with the side's normal (hard edges);
// otherwise 8 shared vertices with normals pointing out of the corners.
aiMesh* cube(bool flat)
{
    static const int sides[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    auto corner = [](int i) { return aiVector3D(i & 4 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 1 ? 1.0f : -1.0f); };
    aiMesh* m = new aiMesh;
    m->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    m->mNumVertices = flat ? 24 : 8;
    m->mVertices = new aiVector3D[m->mNumVertices];
    m->mNormals = new aiVector3D[m->mNumVertices];
    m->mNumFaces = 12;
    m->mFaces = new aiFace[12];
    for (int s = 0; s < 6; ++s) {
        // Sides wound counter-clockwise seen from outside.
        aiVector3D n = (corner(sides[s][1]) - corner(sides[s][0])) ^ (corner(sides[s][2]) - corner(sides[s][0]));
        n.Normalize();
        unsigned idx[4];
        for (int k = 0; k < 4; ++k) {
            int c = sides[s][k];
            idx[k] = flat ? unsigned(s * 4 + k) : unsigned(c);
            m->mVertices[idx[k]] = corner(c);
            m->mNormals[idx[k]] = flat ? n : corner(c).Normalize();
        }
        unsigned tri[2][3] = {{idx[0], idx[1], idx[2]}, {idx[0], idx[2], idx[3]}};
        for (int t = 0; t < 2; ++t) {
            aiFace& f = m->mFaces[s * 2 + t];
            f.mNumIndices = 3;
            f.mIndices = new unsigned[3]{tri[t][0], tri[t][1], tri[t][2]};
        }
    }
    return m;
}

// A scene of one node holding the cube, under a root without meshes.
aiScene* sceneWith(aiMesh* mesh, const aiMatrix4x4& transform)
{
    aiScene* s = new aiScene;
    s->mNumMaterials = 1;
    s->mMaterials = new aiMaterial*[1]{new aiMaterial};
    s->mNumMeshes = 1;
    s->mMeshes = new aiMesh*[1]{mesh};
    s->mRootNode = new aiNode("root");
    aiNode* node = new aiNode("Cube");
    node->mTransformation = transform;
    node->mNumMeshes = 1;
    node->mMeshes = new unsigned[1]{0};
    node->mParent = s->mRootNode;
    s->mRootNode->addChildren(1, &node);
    return s;
}

// Where GL puts an object-space point or normal of the object: the engine
// translates, then multiplies by its rotation matrix as stored, which GL
// reads transposed.
Vec3 drawn(const SceneObject& o, const Vec3& v, bool isNormal)
{
    const Matrix4& r = o.getRotation();
    Vec3 out(r.get(0, 0) * v.x + r.get(1, 0) * v.y + r.get(2, 0) * v.z,
             r.get(0, 1) * v.x + r.get(1, 1) * v.y + r.get(2, 1) * v.z,
             r.get(0, 2) * v.x + r.get(1, 2) * v.y + r.get(2, 2) * v.z);
    return isNormal ? out : out + o.getPosition();
}

void expectNear(const Vec3& got, const aiVector3D& want, const char* what)
{
    EXPECT_NEAR(got.x, want.x, 1e-3f) << what;
    EXPECT_NEAR(got.y, want.y, 1e-3f) << what;
    EXPECT_NEAR(got.z, want.z, 1e-3f) << what;
}

// Imports the cube under `transform` (a glTF file: metres, y up) and checks
// every corner against the source: position and normal as drawn.
void checkCube(bool flat, const aiMatrix4x4& transform)
{
    aiScene* source = sceneWith(cube(flat), transform);
    aiMesh* mesh = source->mMeshes[0];
    TextureExport textures(*source, ".", "test");
    SceneWriter writer;
    ImportSummary summary;
    std::string error;
    ImportOptions options;
    ASSERT_TRUE(convertScene(*source, options, "glb", textures, writer, summary, error)) << error;
    EXPECT_EQ(summary.faces, 12u);
    SceneFile file(writer);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    auto* engineMesh = dynamic_cast<Mesh*>(scene->findByName("Cube"));
    ASSERT_NE(engineMesh, nullptr);
    ASSERT_EQ(engineMesh->getFaceCount(), 12);

    aiMatrix4x4 world;
    aiMatrix4x4::Scaling(aiVector3D(100.0f), world); // metres to centimetres
    world = world * transform;
    aiMatrix3x3 normalWorld = aiMatrix3x3(world).Inverse().Transpose();
    const std::vector<float>& positions = engineMesh->getPositions();
    std::vector<Vec3> smoothNormals(mesh->mNumVertices);
    for (int f = 0; f < 12; ++f) {
        // The engine keeps the faces' order; a mirror reverses each face's
        // corners, so corner k of the source is found by position.
        for (int k = 0; k < 3; ++k) {
            unsigned v = mesh->mFaces[f].mIndices[k];
            aiVector3D wantPosition = world * mesh->mVertices[v];
            aiVector3D wantNormal = (normalWorld * mesh->mNormals[v]).Normalize();
            int found = -1;
            for (int c = 0; c < 3; ++c) {
                const float* p = &positions[size_t(3 * (3 * f + c))];
                Vec3 got = drawn(*engineMesh, Vec3(p[0], p[1], p[2]), false);
                if ((aiVector3D(got.x, got.y, got.z) - wantPosition).Length() < 1e-2f)
                    found = c;
            }
            ASSERT_GE(found, 0) << "face " << f << " corner " << k << " is not where the source puts it";
            Vec3 normal = drawn(*engineMesh, engineMesh->getCornerNormal(f, found), true);
            if (flat) {
                expectNear(normal, wantNormal, "corner normal");
            } else {
                // The engine averages the faces' normals itself, so a smooth
                // corner is only near the file's normal, but every face
                // meeting there shares it (a flat normal would be 55 degrees off).
                EXPECT_GT(normal.x * wantNormal.x + normal.y * wantNormal.y + normal.z * wantNormal.z, 0.9f);
                Vec3& first = smoothNormals[v];
                if (first.length() == 0.0f)
                    first = normal;
                expectNear(normal, aiVector3D(first.x, first.y, first.z), "shared corner normal");
            }
        }
    }
    SceneManager::getInstance()->release(scene);
    delete source;
}

// The objects from the top level down to the one named `name`.
bool pathTo(SceneObject* first, const std::string& name, std::vector<SceneObject*>& path)
{
    for (SceneObject* o = first; o; o = o->getNext()) {
        path.push_back(o);
        if (o->getName() == name || pathTo(o->getFirstChild(), name, path))
            return true;
        path.pop_back();
    }
    return false;
}

aiMatrix4x4 mirroredTurnedAndMoved()
{
    aiMatrix4x4 scale, turn, move;
    aiMatrix4x4::Scaling(aiVector3D(-2.0f, 1.0f, 0.5f), scale);
    aiMatrix4x4::Rotation(0.7f, aiVector3D(0.3f, 1.0f, 0.2f).Normalize(), turn);
    aiMatrix4x4::Translation(aiVector3D(1.0f, 2.0f, 3.0f), move);
    return move * turn * scale;
}

} // namespace

TEST(ModelImport, HardEdgedCubeMirroredScaledAndTurnedIsDrawnAsTheSourceShowsIt)
{
    checkCube(true, mirroredTurnedAndMoved());
}

TEST(ModelImport, SmoothCubeKeepsItsSharedNormals)
{
    aiMatrix4x4 turn;
    aiMatrix4x4::RotationY(1.1f, turn);
    checkCube(false, turn);
}

TEST(ModelImport, HierarchyDeeperThanTheMatrixStackStaysInPlace)
{
    // 40 nodes, each a step along its parent's x and a turn about z; the
    // cube on the last. GL's modelview stack holds 32 matrices at least.
    aiScene* source = sceneWith(cube(true), aiMatrix4x4());
    aiNode* parent = source->mRootNode;
    aiNode* cubeNode = parent->mChildren[0];
    parent->mNumChildren = 0;
    delete[] parent->mChildren;
    parent->mChildren = nullptr;
    aiMatrix4x4 world;
    aiMatrix4x4::Scaling(aiVector3D(100.0f), world);
    for (int i = 0; i < 40; ++i) {
        aiNode* link = new aiNode("Link" + std::to_string(i));
        aiMatrix4x4 turn, step;
        aiMatrix4x4::RotationZ(0.1f, turn);
        aiMatrix4x4::Translation(aiVector3D(1.0f, 0.0f, 0.0f), step);
        link->mTransformation = step * turn;
        world = world * link->mTransformation;
        link->mParent = parent;
        parent->addChildren(1, &link);
        parent = link;
    }
    cubeNode->mParent = parent;
    parent->addChildren(1, &cubeNode);

    TextureExport textures(*source, ".", "test");
    SceneWriter writer;
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(convertScene(*source, ImportOptions(), "glb", textures, writer, summary, error)) << error;
    SceneFile file(writer);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    std::vector<SceneObject*> path;
    ASSERT_TRUE(pathTo(scene->getObjects(), "Cube", path));
    EXPECT_LE(path.size(), 24u);
    // The corner (1, 1, 1) where the source puts it.
    auto* mesh = dynamic_cast<Mesh*>(path.back());
    ASSERT_NE(mesh, nullptr);
    aiVector3D want = world * aiVector3D(1.0f, 1.0f, 1.0f);
    bool found = false;
    for (int v = 0; v < 8; ++v) {
        Vec3 p = mesh->getVertex(v).position;
        for (size_t i = path.size(); i-- > 0;)
            p = drawn(*path[i], p, false);
        found = found || (aiVector3D(p.x, p.y, p.z) - want).Length() < 0.05f;
    }
    EXPECT_TRUE(found) << "no corner of the cube at " << want.x << ", " << want.y << ", " << want.z;
    SceneManager::getInstance()->release(scene);
    delete source;
}

TEST(ModelImport, FbxAxesAndUnitsBecomeYUpCentimetres)
{
    // 3ds Max's frame: z up, the front view looking along +y, in inches.
    aiScene scene;
    scene.mMetaData = aiMetadata::Alloc(5);
    scene.mMetaData->Set(0, "UpAxis", int32_t(2));
    scene.mMetaData->Set(1, "FrontAxis", int32_t(1));
    scene.mMetaData->Set(2, "FrontAxisSign", int32_t(-1));
    scene.mMetaData->Set(3, "CoordAxis", int32_t(0));
    scene.mMetaData->Set(4, "UnitScaleFactor", 2.54);
    SourceFrame frame = sourceFrame(scene, "fbx", 2.0f);
    // Up stays up, the side facing the front view faces the viewer (+z),
    // right stays right, an inch is 2.54 cm, and --scale 2 doubles it.
    expectNear(toVec3(frame.toEngine * aiVector3D(0, 0, 1)), aiVector3D(0, 5.08f, 0), "up");
    expectNear(toVec3(frame.toEngine * aiVector3D(0, -1, 0)), aiVector3D(0, 0, 5.08f), "front");
    expectNear(toVec3(frame.toEngine * aiVector3D(1, 0, 0)), aiVector3D(5.08f, 0, 0), "right");
}

TEST(ModelImport, GltfCameraKeepsTheFilesVerticalAngle)
{
    // 48.455 degrees high, in a picture 3:2 wide, looking at a triangle.
    const char* gltf = R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0, 1]}],
        "nodes": [{"mesh": 0}, {"camera": 0, "translation": [0, 0, 5]}],
        "cameras": [{"type": "perspective",
                     "perspective": {"yfov": 0.8457, "aspectRatio": 1.5, "znear": 0.1, "zfar": 100}}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
        "buffers": [{"byteLength": 36, "uri":
            "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],
        "bufferViews": [{"buffer": 0, "byteLength": 36}],
        "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                       "min": [0, 0, 0], "max": [1, 1, 0]}]})";
    const std::string path = SceneFile::nameFor("camera") + ".gltf";
    std::ofstream(path) << gltf;
    Assimp::Importer importer;
    std::string error;
    const aiScene* source = readModel(importer, path, error);
    std::remove(path.c_str());
    ASSERT_NE(source, nullptr) << error;
    // The binary form of the file says the same.
    for (const char* extension : {"gltf", "glb"}) {
        SCOPED_TRACE(extension);
        TextureExport textures(*source, ".", "test");
        SceneWriter writer;
        ImportSummary summary;
        ASSERT_TRUE(convertScene(*source, ImportOptions(), extension, textures, writer, summary, error)) << error;
        SceneFile file(writer, extension);
        Scene* scene = loadScene(file);
        ASSERT_NE(scene, nullptr);
        ASSERT_NE(scene->getCameras(), nullptr);
        EXPECT_NEAR(scene->getCameras()->getFieldOfView(), 48.455f, 0.01f);
        SceneManager::getInstance()->release(scene);
    }
}

TEST(ModelImport, AnimationsPlayTogetherAndTheFirstInTheFileMovesANodeTheyShare)
{
    // "Slide" moves the cube along x and the lamp along y; "Lift" moves
    // the cube along z, and the lamp at 50 ticks a second along z too.
    aiScene* source = sceneWith(cube(true), aiMatrix4x4());
    aiNode* lamp = new aiNode("Lamp");
    lamp->mParent = source->mRootNode;
    source->mRootNode->addChildren(1, &lamp);
    auto channel = [](const char* node, const aiVector3D& to) {
        aiNodeAnim* c = new aiNodeAnim;
        c->mNodeName = node;
        c->mNumPositionKeys = 2;
        c->mPositionKeys = new aiVectorKey[2]{aiVectorKey(0.0, aiVector3D()), aiVectorKey(50.0, to)};
        return c;
    };
    auto animation = [](const char* name, double rate, std::initializer_list<aiNodeAnim*> channels) {
        aiAnimation* a = new aiAnimation;
        a->mName = name;
        a->mTicksPerSecond = rate;
        a->mDuration = 50.0;
        a->mNumChannels = unsigned(channels.size());
        a->mChannels = new aiNodeAnim*[channels.size()];
        std::copy(channels.begin(), channels.end(), a->mChannels);
        return a;
    };
    source->mNumAnimations = 2;
    source->mAnimations = new aiAnimation*[2]{
        animation("Slide", 25.0, {channel("Cube", aiVector3D(1, 0, 0)), channel("Lamp", aiVector3D(0, 1, 0))}),
        animation("Lift", 50.0, {channel("Cube", aiVector3D(0, 0, 1)), channel("Lamp", aiVector3D(0, 0, 1))})};

    TextureExport textures(*source, ".", "test");
    SceneWriter writer;
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(convertScene(*source, ImportOptions(), "glb", textures, writer, summary, error)) << error;
    EXPECT_NE(std::find(summary.notes.begin(), summary.notes.end(),
                        "animations \"Slide\" and \"Lift\" both move 2 nodes: the first in the file moves them; "
                        "--animation NAME picks one"),
              summary.notes.end());
    EXPECT_EQ(summary.samples, 21); // the longer of 2 s and 1 s, every 100 ms

    NodePoses poses(*source, aiMatrix4x4(), {source->mAnimations[0], source->mAnimations[1]}, 25.0);
    const aiNode* cubeNode = source->mRootNode->FindNode("Cube");
    aiMatrix4x4 half = poses.local(cubeNode, 1.0);
    expectNear(Vec3(half.a4, half.b4, half.c4), aiVector3D(0.5f, 0.0f, 0.0f), "the cube halfway");

    // With --animation, the one named plays alone, at its own rate.
    ImportOptions lift;
    lift.animation = "Lift";
    SceneWriter liftWriter;
    ImportSummary liftSummary;
    ASSERT_TRUE(convertScene(*source, lift, "glb", textures, liftWriter, liftSummary, error)) << error;
    EXPECT_TRUE(liftSummary.notes.empty());
    EXPECT_EQ(liftSummary.samples, 11);
    delete source;
}

TEST(ModelImport, JpegTexturesReachTheEngineTheRightWayUp)
{
    // The engine keeps a PNG top row first and a JPEG bottom row first, so
    // a texture's first row in the engine must be the source's top row
    // whichever file the import writes: a JPEG flipped without loss, or a
    // PNG when its height is not whole blocks (16 rows here).
    testimages::ScratchDir dir;
    for (int height : {32, 24}) {
        SCOPED_TRACE(height);
        std::vector<unsigned char> rgb(size_t(16 * height * 3), 0);
        for (int i = 0; i < 16 * height; ++i)
            rgb[size_t(i * 3 + (i < 16 * height / 2 ? 0 : 2))] = 255; // red above, blue below
        const std::string source = "source" + std::to_string(height) + ".jpg";
        std::vector<unsigned char> jpeg = testimages::encodeJpeg(16, height, rgb, TJPF_RGB, TJSAMP_420);
        ASSERT_TRUE(testimages::writeBytes(dir.path(source), jpeg));
        aiScene scene;
        TextureExport textures(scene, dir.prefix(), "test");
        std::string note;
        std::string name = textures.add(source, note);
        ASSERT_FALSE(name.empty()) << note;
        EXPECT_EQ(name.substr(name.size() - 4), height == 32 ? ".jpg" : ".png");
        ASSERT_TRUE(testimages::writeBytes(dir.path(name), textures.files().back().bytes));
        Image* image = loadImage(name.c_str(), dir.prefix().c_str());
        ASSERT_NE(image, nullptr);
        const int bytes = image->bitsPerPixel / 8;
        EXPECT_GT(image->pixels[0], 200) << "first row not red";
        EXPECT_LT(image->pixels[2], 60);
        const unsigned char* last = image->pixels + size_t((height - 1) * 16 * bytes);
        EXPECT_GT(last[2], 200) << "last row not blue";
        delete image;
    }
}
