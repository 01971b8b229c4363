// The scene file reader against files made by the scene writer: every record
// read back field for field, the header and chunk rules, and the messages for
// broken files. Scenes without textures need no GL context (light and
// material GL calls go nowhere without one); texture names are in
// tests/gl/SceneTextureTest.cpp.

#include "support/SceneTestSupport.h"

#include "scene/Camera.h"
#include "scene/Dummy.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/PathSwarm.h"
#include "scene/SceneErrors.h"
#include "scene/SceneFormat.h"
#include "tools/scenewriter/MeshShapes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ExitedWithCode;

namespace {

void expectVec(const Vec3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

void expectMatrix(const Matrix4& a, const Matrix4& b)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(a.m[i], b.m[i]) << "element " << i;
}

Matrix4 matrixOf(const Quaternion& q)
{
    Matrix4 m;
    q.toMatrix(m);
    return m;
}

// A scene of every record type, in an order the reader accepts.
struct FullScene {
    SceneWriter w;
    Quaternion meshTurn = axisAngle(Vec3(0, 1, 0), 0.5f);
    Quaternion dummyTurn = axisAngle(Vec3(1, 0, 0), 0.25f);

    FullScene()
    {
        MaterialRecord& red = w.addMaterial(1, "red");
        red.ambient = Vec3(0.1f, 0.0f, 0.0f);
        red.diffuse = Vec3(0.9f, 0.1f, 0.1f);
        red.specular = Vec3(0.5f, 0.6f, 0.7f);
        red.glossiness = 0.25f;
        red.specularLevel = 1.5f;
        red.opacity = 0.75f;
        red.twoSided = true;
        w.addMaterial(0, "default");

        DummyRecord& root = w.addDummy(100, "Root");
        root.position = Vec3(1, 2, 3);
        root.rotation = dummyTurn;
        root.scale = Vec3(2, 2, 2);

        MeshRecord& m = w.addMesh(101, "Quad", 100);
        m.position = Vec3(-4, 5, -6);
        m.rotation = meshTurn;
        m.scale = Vec3(1, 3, 1);
        m.addVertex(Vec3(0, 0, 0));
        m.addVertex(Vec3(1, 0, 0));
        m.addVertex(Vec3(1, 1, 0));
        m.addVertex(Vec3(0, 1, 0));
        m.addCoord1(0.0f, 0.25f);
        m.addCoord1(1.0f, 0.5f);
        m.addCoord1(0.5f, 1.0f);
        m.addCoord2(0.125f, 0.75f);
        m.addCoord2(0.375f, -2.0f);
        WriterFace& f0 = m.addFace(0, 1, 2, 1, 0x5);
        f0.coord1[0] = 2; f0.coord1[1] = 1; f0.coord1[2] = 0;
        f0.coord2[0] = 1; f0.coord2[1] = 0; f0.coord2[2] = 1;
        WriterFace& f1 = m.addFace(0, 2, 3, -1, 0);
        f1.coord1[0] = 0; f1.coord1[1] = 0; f1.coord1[2] = 1;
        f1.coord2[0] = 0; f1.coord2[1] = 1; f1.coord2[2] = 0;

        MeshRecord& path = w.addMesh(102, "Path");
        path.addVertex(Vec3(10, 0, 0));
        path.addVertex(Vec3(20, 5, 0));
        path.addCoord1(0.5f, 0.5f);

        w.addMarker(103, "Spot", Vec3(7, 8, 9));
        w.addCamera(200, "Camera01", Vec3(0, 10, 100), 60.0f, 103);
        w.addCamera(201, "Camera02", Vec3(5, 5, 5), 30.0f, 0);

        LightRecord& sun = w.addLight(300, "Sun", Vec3(50, 60, 70), Vec3(1.0f, 0.5f, 0.25f));
        sun.range = 4.0f;
        sun.targetId = 101;
        sun.spotExponent = 200.0f;
        sun.spotCutoff = 120.0f;
        LightRecord& fill = w.addLight(301, "Fill", Vec3(-1, -2, -3), Vec3(0.2f, 0.2f, 0.2f));
        fill.spotExponent = 12.0f;
        fill.spotCutoff = 45.0f;

        w.addFlare(400, "Glint", Vec3(3, 3, 3));

        ControllerRecord& samples = w.addSamples(101, 2);
        samples.addSample(Vec3(0, 0, 0), Quaternion(0, 0, 0, 1));
        samples.addSample(Vec3(2, 4, 6), axisAngle(Vec3(0, 0, 1), 1.0f));
        samples.addSample(Vec3(4, 8, 12), axisAngle(Vec3(0, 0, 1), 2.0f));

        ControllerRecord& keys = w.addPositionKeys(100);
        PositionKeyRecord k;
        k.frame = 0x12340005; // only the low 16 bits count
        k.position = Vec3(1, 1, 1);
        k.tension = 0.5f;
        k.extra[0] = 9.0f;
        keys.positionKeys.push_back(k);
        k.frame = 0xFFFF; // -1 as a signed 16-bit value
        k.position = Vec3(3, 1, 1);
        keys.positionKeys.push_back(k);

        ControllerRecord& turns = w.addRotationKeys(103);
        RotationKeyRecord r;
        r.frame = 10;
        r.value[0] = 0.1f; r.value[1] = 0.2f; r.value[2] = 0.3f; r.value[3] = 0.4f;
        turns.rotationKeys.push_back(r);
    }
};

} // namespace

TEST(SceneReader, WrittenSceneReadsBackFieldForField)
{
    FullScene full;
    ASSERT_EQ(full.w.check(), "");
    SceneFile file(full.w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);

    // Materials, in file order.
    Material* red = scene->getMaterials();
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->getId(), 1);
    EXPECT_EQ(red->getName(), "red");
    EXPECT_FLOAT_EQ(red->getAmbient().r, 0.1f);
    EXPECT_FLOAT_EQ(red->getAmbient().a, 1.0f);
    EXPECT_FLOAT_EQ(red->getDiffuse().g, 0.1f);
    EXPECT_FLOAT_EQ(red->getSpecular().b, 0.7f);
    EXPECT_FLOAT_EQ(red->getShininess(), 32.0f);
    EXPECT_FLOAT_EQ(red->getSpecularLevel(), 1.5f);
    EXPECT_FLOAT_EQ(red->getOpacity(), 0.75f);
    EXPECT_TRUE(red->getTwoSided());
    EXPECT_TRUE(red->isTransparent());
    EXPECT_EQ(red->getRenderMode(), kModeLit);
    ASSERT_NE(red->getNext(), nullptr);
    EXPECT_EQ(red->getNext()->getName(), "default");
    EXPECT_EQ(scene->findMaterial(0), red->getNext());

    // Dummy with its mesh child; the marker and the path at the top level.
    SceneObject* root = scene->findById(100);
    ASSERT_NE(root, nullptr);
    EXPECT_NE(dynamic_cast<Dummy*>(root), nullptr);
    EXPECT_EQ(root->getName(), "Root");
    expectVec(root->getPosition(), 1, 2, 3);
    expectVec(root->getScale(), 2, 2, 2);
    expectMatrix(root->getRotation(), matrixOf(full.dummyTurn));

    Mesh* quad = dynamic_cast<Mesh*>(scene->findByName("Quad"));
    ASSERT_NE(quad, nullptr);
    EXPECT_EQ(root->getFirstChild(), quad);
    EXPECT_EQ(quad->getId(), 101);
    expectVec(quad->getScale(), 1, 3, 1);
    ASSERT_EQ(quad->getVertexCount(), 4);
    expectVec(quad->getVertex(2).position, 1, 1, 0);
    EXPECT_FLOAT_EQ(quad->getVertex(3).colour.r, 1.0f);
    EXPECT_FLOAT_EQ(quad->getVertex(3).colour.a, 1.0f);
    ASSERT_EQ(quad->getTexCoordCount1(), 3);
    ASSERT_EQ(quad->getTexCoordCount2(), 2);
    EXPECT_FLOAT_EQ(quad->getTexCoord1(0).u, 0.0f);
    EXPECT_FLOAT_EQ(quad->getTexCoord1(0).v, -0.25f); // v is negated on reading
    EXPECT_FLOAT_EQ(quad->getTexCoord1(2).v, -1.0f);
    EXPECT_FLOAT_EQ(quad->getTexCoord2(1).u, 0.375f);
    EXPECT_FLOAT_EQ(quad->getTexCoord2(1).v, 2.0f);
    ASSERT_EQ(quad->getFaceCount(), 2);
    const Face& f0 = quad->getFace(0);
    EXPECT_EQ(f0.vertexIndex[2], 2);
    EXPECT_EQ(f0.texIndex1[0], 2);
    EXPECT_EQ(f0.texIndex2[0], 1);
    EXPECT_EQ(f0.materialId, 1);
    EXPECT_EQ(f0.material, red);
    EXPECT_EQ(f0.smoothingGroups, 0x5u);
    EXPECT_FLOAT_EQ(f0.colour.r, 0.0f);
    const Face& f1 = quad->getFace(1);
    EXPECT_EQ(f1.materialId, 0); // -1 reads as material 0
    EXPECT_EQ(f1.material, red->getNext());
    EXPECT_FLOAT_EQ(f1.colour.r, 20.0f / 256.0f);
    EXPECT_FLOAT_EQ(f1.colour.a, 1.0f);
    EXPECT_EQ(quad->getMaterial(), red);

    PathSwarm* path = dynamic_cast<PathSwarm*>(scene->findById(102));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->getFaceCount(), 0);
    ASSERT_EQ(path->getVertexCount(), 2);
    expectVec(path->getVertex(1).position, 20, 5, 0);
    EXPECT_FLOAT_EQ(path->getTexCoord1(0).v, -0.5f);

    Marker* spot = dynamic_cast<Marker*>(scene->findByName("Spot"));
    ASSERT_NE(spot, nullptr);
    expectVec(spot->getPosition(), 7, 8, 9);

    // Cameras: targets found at link time; target 0 is the first top-level object.
    Camera* cam1 = scene->getCameras();
    ASSERT_NE(cam1, nullptr);
    EXPECT_EQ(scene->getCurrentCamera(), cam1);
    EXPECT_EQ(cam1->getName(), "Camera01");
    expectVec(cam1->getPosition(), 0, 10, 100);
    EXPECT_FLOAT_EQ(cam1->getFieldOfView(), 60.0f);
    EXPECT_EQ(cam1->getTargetId(), 103);
    EXPECT_EQ(cam1->getTarget(), spot);
    Camera* cam2 = static_cast<Camera*>(cam1->getNext());
    ASSERT_NE(cam2, nullptr);
    EXPECT_EQ(cam2->getTarget(), scene->getObjects());
    EXPECT_EQ(scene->findById(0), scene->getObjects());

    // Lights: colours derived, attenuation from the range, clamps, GL numbers.
    Light* sun = scene->getLights();
    ASSERT_NE(sun, nullptr);
    EXPECT_EQ(sun->getName(), "Sun");
    expectVec(sun->getPosition(), 50, 60, 70);
    EXPECT_FLOAT_EQ(sun->getDiffuse().g, 0.5f);
    EXPECT_FLOAT_EQ(sun->getAmbient().r, 0.3f);
    EXPECT_FLOAT_EQ(sun->getSpecular().b, 0.25f);
    EXPECT_FLOAT_EQ(sun->getLinearAttenuation(), 0.5f);
    EXPECT_FLOAT_EQ(sun->getSpotExponent(), 128.0f);
    EXPECT_FLOAT_EQ(sun->getSpotCutoff(), 90.0f);
    EXPECT_EQ(sun->getTarget(), quad);
    EXPECT_EQ(sun->getGlLight(), 0);
    EXPECT_TRUE(sun->isEnabled());
    Light* fill = static_cast<Light*>(sun->getNext());
    ASSERT_NE(fill, nullptr);
    EXPECT_FLOAT_EQ(fill->getLinearAttenuation(), 0.0f);
    EXPECT_FLOAT_EQ(fill->getSpotExponent(), 12.0f);
    EXPECT_FLOAT_EQ(fill->getSpotCutoff(), 45.0f);
    EXPECT_EQ(fill->getTarget(), nullptr);
    EXPECT_EQ(fill->getGlLight(), 1);

    Flare* glint = scene->getFlares();
    ASSERT_NE(glint, nullptr);
    EXPECT_EQ(glint->getName(), "Glint");
    expectVec(glint->getPosition(), 3, 3, 3);
    EXPECT_EQ(scene->findById(400), glint);

    // Controllers.
    EXPECT_EQ(quad->getAnimationKind(), kAnimationSampled);
    ASSERT_EQ(quad->getSampleCount(), 3);
    EXPECT_EQ(quad->getSampleInterval(), 2);
    expectVec(quad->getSamplePositions()[1], 2, 4, 6);
    Quaternion q = axisAngle(Vec3(0, 0, 1), 2.0f);
    EXPECT_FLOAT_EQ(quad->getSampleRotations()[2].z, q.z);
    EXPECT_FLOAT_EQ(quad->getSampleRotations()[2].w, q.w);
    EXPECT_EQ(scene->getSampleCount(), 3);
    EXPECT_EQ(scene->getSampleInterval(), 2);

    EXPECT_EQ(root->getAnimationKind(), kAnimationKeyed);
    ASSERT_EQ(root->getPositionKeys().size(), 2u);
    EXPECT_EQ(root->getPositionKeys()[0].frame, 5);
    EXPECT_EQ(root->getPositionKeys()[1].frame, -1);
    EXPECT_FLOAT_EQ(root->getPositionKeys()[0].tension, 0.5f);
    EXPECT_FLOAT_EQ(root->getPositionKeys()[0].unused[0], 9.0f);
    expectVec(root->getPositionKeys()[1].position, 3, 1, 1);
    ASSERT_EQ(spot->getRotationKeys().size(), 1u);
    EXPECT_EQ(spot->getRotationKeys()[0].frame, 10);
    EXPECT_FLOAT_EQ(spot->getRotationKeys()[0].value[3], 0.4f);
    EXPECT_EQ(spot->getAnimationKind(), kAnimationKeyed);
}

TEST(SceneReader, SameFileTwiceIsParsedOnceAndCountedTwice)
{
    SceneWriter w;
    addPlainMaterial(w);
    addTriangle(w, 1, "Tri", 1);
    SceneFile file(w);
    Scene* first = loadScene(file);
    Scene* second = loadScene(file, "elsewhere/");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(SceneManager::getInstance()->refCount(file.path.c_str()), 2);
    SceneManager::getInstance()->release(first);
    EXPECT_EQ(SceneManager::getInstance()->refCount(file.path.c_str()), 1);
}

TEST(SceneReader, UnknownChunksAreSkippedBySizeAndTheEndChunkPayloadIsIgnored)
{
    SceneWriter w;
    // 40 bytes that would read as a mesh chunk header with an absurd count
    // if the reader did not skip them by size.
    std::vector<unsigned char> junk;
    putU32(junk, sceneformat::kChunkMesh);
    putU32(junk, 10);
    junk.resize(40, 0xFF);
    w.addRawChunk(12, junk);
    w.addMarker(5, "After", Vec3(1, 2, 3));
    w.setEndPayload(std::vector<unsigned char>(16, 0xEE));
    std::vector<unsigned char> bytes = w.toBytes();
    // Anything after the end chunk is never read.
    bytes.insert(bytes.end(), {1, 2, 3});
    SceneFile file(bytes);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->getObjects(), nullptr);
    EXPECT_EQ(scene->getObjects()->getName(), "After");
    EXPECT_EQ(scene->getObjects()->getNext(), nullptr);
}

TEST(SceneReader, SampledControllerWithoutOwnerIsAWarning)
{
    // Its count still sets the scene's clock.
    SceneWriter sampled;
    sampled.addMarker(1, "M", Vec3());
    ControllerRecord& s = sampled.addSamples(42, 3);
    for (int i = 0; i < 4; ++i)
        s.addSample(Vec3(float(i), 0, 0), Quaternion(0, 0, 0, 1));
    sampled.addMarker(2, "After", Vec3());
    SceneFile sampledFile(sampled, "sampled");
    testing::internal::CaptureStderr();
    Scene* scene = loadScene(sampledFile);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("warning: Error in parsing " + sampledFile.path +
                       ": could not find owner for VORN_CTRL_PR object - skipping it!\n"),
              std::string::npos)
        << err;
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->getSampleCount(), 4);
    EXPECT_EQ(scene->getSampleInterval(), 3);
    EXPECT_EQ(scene->findById(1)->getAnimationKind(), kAnimationNone);
    EXPECT_NE(scene->findByName("After"), nullptr);
}

TEST(SceneReader, ControllerKindsAndClasses)
{
    // Unknown keyed kinds and unknown classes are skipped with their data.
    SceneWriter w;
    w.addMarker(1, "M", Vec3());
    ControllerRecord odd;
    odd.ownerId = 1;
    odd.controllerClass = 2;
    odd.kind = 4;
    odd.countOverride = 3;
    odd.extra.assign(36, 0xAB);
    w.addController(odd);
    odd.controllerClass = 7;
    odd.kind = 5;
    w.addController(odd);
    w.addMarker(2, "After", Vec3());
    // The last sampled controller decides the scene's clock.
    ControllerRecord& a = w.addSamples(1, 5);
    a.addSample(Vec3(), Quaternion(0, 0, 0, 1));
    ControllerRecord& b = w.addSamples(2, 7);
    b.addSample(Vec3(), Quaternion(0, 0, 0, 1));
    b.addSample(Vec3(), Quaternion(0, 0, 0, 1));
    SceneFile file(w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    EXPECT_NE(scene->findByName("After"), nullptr);
    EXPECT_EQ(scene->getSampleCount(), 2);
    EXPECT_EQ(scene->getSampleInterval(), 7);
    EXPECT_EQ(scene->findById(1)->getSampleCount(), 1);
}

TEST(SceneReader, IndicesIntoAnEmptyCoordinateSetAreNeverUsed)
{
    SceneWriter empty;
    addPlainMaterial(empty);
    MeshRecord& e = addTriangle(empty, 5, "Tri", 1);
    e.faces[0].coord1[0] = 77;
    e.faces[0].coord2[1] = 99;
    SceneFile emptyFile(empty, "empty");
    Scene* scene = loadScene(emptyFile);
    ASSERT_NE(scene, nullptr);
    Mesh* tri = static_cast<Mesh*>(scene->findById(5));
    EXPECT_TRUE(tri->getCoords1().empty());
    EXPECT_EQ(tri->getPositions().size(), 9u);
}

// ---------------------------------------------------------------------------
// Broken files: every one ends the process with a message naming the file.

namespace {

using Bytes = std::vector<unsigned char>;
using namespace sceneformat;

// Where the fields of the first chunk's record lie in a file.
constexpr size_t kFirstRecord = kFileHeaderSize + kChunkHeaderSize;

// A death test's child runs the test again from its start: a directory made
// before the death test is already there for it.
bool makeDirectory(const std::string& path)
{
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

Bytes patched(Bytes bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + size_t(i)) = static_cast<unsigned char>(value >> (8 * i));
    return bytes;
}

Bytes oneMesh()
{
    SceneWriter w;
    MeshRecord& m = w.addMesh(1, "M");
    m.addVertex(Vec3());
    m.addCoord1(0, 0);
    return w.toBytes();
}

Bytes triangle(void (*change)(MeshRecord&), int32_t materialId = 1, int32_t parentId = 0)
{
    SceneWriter w;
    addPlainMaterial(w);
    MeshRecord& m = addTriangle(w, 3, "Tri", materialId, parentId);
    m.addCoord1(0, 0);
    m.addCoord1(1, 0);
    m.addCoord1(0, 1);
    m.addCoord2(0, 0);
    m.addCoord2(1, 1);
    m.addCoord2(1, 0);
    if (change)
        change(m);
    return w.toBytes();
}

Bytes controllerFor(uint32_t controllerClass, uint32_t kind, int32_t owner, uint32_t count)
{
    SceneWriter w;
    w.addMarker(1, "M", Vec3());
    ControllerRecord c;
    c.ownerId = owner;
    c.controllerClass = controllerClass;
    c.kind = kind;
    c.countOverride = count;
    c.extra.assign(36, 0);
    w.addController(c);
    return w.toBytes();
}

} // namespace

TEST(SceneReader, BrokenFilesEndWithTheirMessage)
{
    // "%s" stands for the file's name. Cases without a message of the format's
    // own end with "unexpected end of file ..." or name what is out of range.
    struct Case {
        const char* stem;
        std::function<Bytes()> bytes; // null: a directory stands where the file should be
        const char* message;
    };
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }, "Error in parsing %s: not a vornporter file\n"},
        {"short", [] { return Bytes{0, 0}; }, "Error in parsing %s: not a vornporter file\n"},
        {"magic", [] { SceneWriter w; w.setHeader(0x4E524F56, 1); return w.toBytes(); },
         "Error in parsing %s: not a vornporter file\n"},
        {"noversion", [] { return Bytes{0, 0, 0, 0, 1}; },
         "Error in parsing %s: unexpected end of file in the header\n"},
        {"version", [] { SceneWriter w; w.setHeader(0, 2); return w.toBytes(); },
         "Error in parsing %s: the file was exported with Vorn version 2, but the engine uses version 1\n"
         "Please re-export\n"},
        {"version-1", [] { SceneWriter w; w.setHeader(0, 0xFFFFFFFF); return w.toBytes(); },
         "Error in parsing %s: the file was exported with Vorn version -1, but the engine uses version 1\n"
         "Please re-export\n"},
        {"directory", nullptr, "Error in parsing %s: could not open file\n"},
        {"noend", [] { SceneWriter w; w.addMarker(1, "M", Vec3()); w.setWriteEndChunk(false); return w.toBytes(); },
         "Error in parsing %s: unexpected end of file before the end chunk\n"},
        // An unknown chunk whose size runs past the end is skipped to nowhere.
        {"skip", [] { SceneWriter w; w.addRawChunk(12, Bytes(8, 0)); return patched(w.toBytes(), 12, 0xFFFFFFF0); },
         "Error in parsing %s: unexpected end of file before the end chunk\n"},
        // Counts are checked against the bytes left. Each count below times
        // its element size wraps round to a few bytes in 32 bits.
        {"vertices", [] { return patched(oneMesh(), kFirstRecord + mesh::vertexCount, 0x15555556); },
         "Error in parsing %s: unexpected end of file in a chunk of type 2\n"},
        {"coords", [] { return patched(oneMesh(), kFirstRecord + mesh::texCoordCount1, 0x20000000); },
         "Error in parsing %s: unexpected end of file in a chunk of type 2\n"},
        {"coords2", [] { return patched(oneMesh(), kFirstRecord + mesh::texCoordCount2, 0x20000001); },
         "Error in parsing %s: unexpected end of file in a chunk of type 2\n"},
        {"faces", [] { return patched(oneMesh(), kFirstRecord + mesh::faceCount, 976128931); },
         "Error in parsing %s: unexpected end of file in a chunk of type 2\n"},
        {"samples", [] { return controllerFor(kClassSampled, kKindPositionRotation, 1, 0x80000000); },
         "Error in parsing %s: unexpected end of file in a chunk of type 8\n"},
        {"poskeys", [] { return controllerFor(kClassKeyed, kKindPositionKeys, 1, 119304648); },
         "Error in parsing %s: unexpected end of file in a chunk of type 8\n"},
        {"rotkeys", [] { return controllerFor(kClassKeyed, kKindRotationKeys, 1, 0xCCCCCCCD); },
         "Error in parsing %s: unexpected end of file in a chunk of type 8\n"},
        // Indices out of their arrays.
        {"vertex", [] { return triangle([](MeshRecord& m) { m.faces[0].vertex[2] = 3; }); },
         "Error in parsing %s: object 3: face 0 uses vertex 3 of 3\n"},
        {"coord", [] { return triangle([](MeshRecord& m) { m.faces[0].coord1[1] = 0xFFFFFFFF; }); },
         "Error in parsing %s: object 3: face 0 uses texture coordinate 4294967295 of 3\n"},
        {"coord2", [] { return triangle([](MeshRecord& m) { m.faces[0].coord2[0] = 3; }); },
         "Error in parsing %s: object 3: face 0 uses second texture coordinate 3 of 3\n"},
        {"material", [] { return triangle(nullptr, 7); }, "face material not found: 7\n"},
        {"parent", [] { return triangle(nullptr, 1, 9); }, "Error in parsing %s: object 3 could not find parent obj 9\n"},
        {"dummyparent", [] { SceneWriter w; w.addDummy(6, "D", 7); return w.toBytes(); },
         "Error in parsing %s: dummy object 6 could not find parent obj 7\n"},
        {"owner", [] { return controllerFor(kClassKeyed, kKindPositionKeys, 42, 1); },
         "Error in parsing %s: could not find owner for controller object\n"},
        {"sampledkind", [] { return controllerFor(kClassSampled, 6, 1, 1); },
         "Error in parsing %s: other sample controller type than VORN_CTRL_PR not supported yet\n"},
        {"lights",
         [] {
             SceneWriter w;
             for (int i = 0; i <= Light::maxGlLights(); ++i)
                 w.addLight(i + 1, "L", Vec3(), Vec3(1, 1, 1));
             return w.toBytes();
         },
         "Error in parsing %s: the scene has more lights than the 8 the GL offers\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stem);
        std::string path = SceneFile::nameFor(c.stem);
        std::unique_ptr<SceneFile> file;
        if (c.bytes)
            file = std::make_unique<SceneFile>(c.bytes(), c.stem);
        else
            ASSERT_TRUE(makeDirectory(path));
        char expected[512];
        std::snprintf(expected, sizeof expected, c.message, path.c_str());
        EXPECT_EXIT(
            {
                SceneReader reader;
                reader.load(path.c_str(), "");
            },
            ExitedWithCode(1), testing::Eq(std::string("error: ") + expected + "\n"));
        if (!c.bytes)
            rmdir(path.c_str());
    }
}

TEST(SceneReader, EveryCutEndsWithTheMessageOfWhereItFalls)
{
    FullScene full;
    full.w.addRawChunk(12, Bytes(40, 0xEE));
    Bytes bytes = full.w.toBytes();

    // The chunks as the file lays them out, up to the end chunk.
    struct Chunk {
        size_t start;
        size_t end;
        uint32_t type;
    };
    std::vector<Chunk> chunks;
    auto u32At = [&bytes](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    for (size_t at = kFileHeaderSize;;) {
        Chunk c{at, at + kChunkHeaderSize + u32At(at + 4), u32At(at)};
        chunks.push_back(c);
        if (c.type == kChunkEnd)
            break;
        at = c.end;
    }
    ASSERT_EQ(chunks.back().end, bytes.size());

    // A cut inside a record or its arrays names the chunk's type; a cut in a
    // chunk header, or in a chunk skipped by its size, finds no end chunk.
    auto expectedFor = [&](size_t length) -> std::string {
        if (length < 4)
            return "not a vornporter file";
        if (length < kFileHeaderSize)
            return "unexpected end of file in the header";
        for (const Chunk& c : chunks) {
            if (length >= c.end)
                continue;
            if (length < c.start + kChunkHeaderSize || c.type > kChunkFlare)
                return "unexpected end of file before the end chunk";
            return "unexpected end of file in a chunk of type " + std::to_string(c.type);
        }
        return "";
    };
    setSceneErrorsRecoverable(true);
    for (size_t length = 0; length < bytes.size(); ++length) {
        SceneFile file(Bytes(bytes.begin(), bytes.begin() + long(length)));
        SceneReader reader;
        testing::internal::CaptureStderr();
        Scene* scene = reader.load(file.path.c_str(), "");
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(scene, nullptr) << length;
        EXPECT_EQ(err, "") << length;
        EXPECT_EQ(lastSceneError(), "Error in parsing " + file.path + ": " + expectedFor(length) + "\n") << length;
    }
    setSceneErrorsRecoverable(false);
}

TEST(SceneWriter, SampledMotionAndShapesReadBack)
{
    SceneWriter w;
    w.addMaterial(0, "m");
    MeshRecord& box = w.addMesh(1, "Box");
    addBox(box, Vec3(2, 4, 6), -1);
    MeshRecord& ball = w.addMesh(2, "Ball");
    addSphere(ball, 5.0f, 8, 6, 0);
    MeshRecord& ring = w.addMesh(3, "Ring");
    addTorus(ring, 10.0f, 2.0f, 8, 6, 0);
    MeshRecord& floor = w.addMesh(4, "Floor");
    addGrid(floor, 100.0f, 50.0f, 4, 2, 0);
    w.addSampledMotion(1, 2, 5, [](int i, Vec3& p, Quaternion& q) {
        p = Vec3(float(i), 0, 0);
        q = axisAngle(Vec3(0, 1, 0), 0.1f * float(i));
    });
    ASSERT_EQ(w.check(), "");
    SceneFile file(w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);

    Mesh* m = static_cast<Mesh*>(scene->findById(1));
    ASSERT_EQ(m->getSampleCount(), 5);
    EXPECT_FLOAT_EQ(m->getSamplePositions()[4].x, 4.0f);
    EXPECT_FLOAT_EQ(m->getSampleRotations()[1].y, std::sin(0.05f));
    // Flat sides: every corner normal is its face normal, and faces point out.
    ASSERT_EQ(m->getFaceCount(), 12);
    for (int f = 0; f < 12; ++f) {
        const Face& face = m->getFace(f);
        Vec3 centre = (m->getVertex(face.vertexIndex[0]).position + m->getVertex(face.vertexIndex[1]).position +
                       m->getVertex(face.vertexIndex[2]).position) * (1.0f / 3.0f);
        EXPECT_GT(face.faceNormal.dot(centre), 0.0f) << f;
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(m->getCornerNormal(f, c).dot(face.faceNormal), 1.0f);
    }
    // Smooth shapes: outward faces, corner normals close to the face normals.
    for (int id : {2, 3}) {
        Mesh* s = static_cast<Mesh*>(scene->findById(id));
        ASSERT_GT(s->getFaceCount(), 0);
        for (int f = 0; f < s->getFaceCount(); ++f)
            for (int c = 0; c < 3; ++c)
                EXPECT_GT(s->getCornerNormal(f, c).dot(s->getFace(f).faceNormal), 0.7f) << id << " " << f;
    }
    Mesh* g = static_cast<Mesh*>(scene->findById(4));
    EXPECT_EQ(g->getFaceCount(), 16);
    EXPECT_FLOAT_EQ(g->getFace(0).faceNormal.y, 1.0f);
}
