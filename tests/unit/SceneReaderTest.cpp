// The scene writer against the hand-made scene file, and the reader's header
// and chunk rules and its messages for broken files. Scenes without textures
// need no GL context (light and material GL calls go nowhere without one);
// texture names are in tests/gl/SceneGLTest.cpp.

#include "support/SceneFixture.h"
#include "support/SceneTestSupport.h"

#include "scene/Light.h"
#include "scene/Mesh.h"
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

// The hand-made scene of support/SceneFixture.h built again with the writer.
// Without textures (names and the environment cube) it needs no GL to be read.
struct FullScene {
    SceneWriter w;

    explicit FullScene(bool textures = true)
    {
        using scenefixture::kDummyTurn;
        using scenefixture::kMeshTurn;
        auto map = [textures](const char* name) { return textures ? name : ""; };
        // id, name, ambient, diffuse, specular, glossiness, specular level, opacity, two-sided,
        // maps (diffuse, second, additive, bump, opacity, detail), environment
        w.addMaterial(1, "red") = {1, "red", Vec3(0.1f, 0.05f, 0.02f), Vec3(0.9f, 0.15f, 0.125f),
                                   Vec3(0.5f, 0.6f, 0.7f), 0.25f, 1.5f, 0.7f, true, "", "", "", "", "", ""};
        w.addMaterial(0, "chrome") = {0, "chrome", Vec3(0.3f, 0.35f, 0.4f), Vec3(0.45f, 0.55f, 0.65f),
                                      Vec3(0.75f, 0.85f, 0.95f), 0.5f, 2.5f, 1.0f, false,
                                      "", map("s.png"), "", "", "", "", textures};
        w.addMaterial(2, "layered") = {2, "layered", Vec3(0.01f, 0.02f, 0.03f), Vec3(0.04f, 0.05f, 0.06f),
                                       Vec3(0.07f, 0.08f, 0.09f), 0.125f, 3.5f, 0.3f, false,
                                       map("d.png"), map("s.png"), map("a.png"), map("b.png"), map("o.png"),
                                       map("x.png")};
        w.addDummy(100, "Root") = {100, 0, "Root", Vec3(1, 2, 3),
                                   Quaternion(kDummyTurn[0], kDummyTurn[1], kDummyTurn[2], kDummyTurn[3]),
                                   Vec3(2, 2.5f, 3.5f)};
        // Faces: vertices, first-set and second-set coordinates, material, flags.
        w.addMesh(101, "Quad", 100) = {
            101, 100, "Quad", Vec3(-4, 5, -6), Quaternion(kMeshTurn[0], kMeshTurn[1], kMeshTurn[2], kMeshTurn[3]),
            Vec3(1, 3, 0.5f), {Vec3(0, 0, 0), Vec3(1, 0, 0.5f), Vec3(1, 1, 0), Vec3(0, 1, -0.5f)},
            {{0, 0.25f}, {1, 0.5f}, {0.5f, 1}}, {{0.125f, 0.75f}, {0.375f, -2}},
            {{{0, 1, 2}, {2, 1, 0}, {1, 0, 1}, 1, 0x5}, {{0, 2, 3}, {0, 0, 1}, {0, 1, 0}, -1, 0x80000002},
             {{1, 2, 3}, {1, 2, 0}, {1, 1, 0}, 2, 0x10}}};
        MeshRecord& path = w.addMesh(102, "Path");
        path.vertices = {Vec3(10, 0, 0), Vec3(20, 5, 0)};
        path.coords1 = {{0.5f, 0.5f}};
        w.addMarker(103, "Spot", Vec3(7, 8, 9));
        w.addCamera(200, "Camera01", Vec3(0, 10, 100), 60.0f, 103);
        w.addCamera(201, "Camera02", Vec3(5, 6, 7), 30.0f, 0);
        // id, name, position, colour, range, target, spot exponent and cut-off, projected texture
        w.addLight(300, "Sun", Vec3(), Vec3()) = {300, "Sun", Vec3(50, 60, 70), Vec3(1, 0.5f, 0.25f),
                                                  4, 101, 20, 60, ""};
        w.addLight(301, "Projector", Vec3(), Vec3()) = {301, "Projector", Vec3(-1, -2, -3), Vec3(0.2f, 0.4f, 0.6f),
                                                        0, 0, 12, 45, map("p.png")};
        w.addFlare(400, "Glint", Vec3(3, 3.5f, 4));

        ControllerRecord& samples = w.addSamples(101, 2);
        samples.positions = {Vec3(0, 0, 0), Vec3(2, 4, 6), Vec3(4, 8, 12)};
        samples.rotations = {Quaternion(0, 0, 0, 1), Quaternion(0, 0, 0.479f, 0.878f),
                             Quaternion(0, 0, 0.841f, 0.540f)};
        // frame (only the low 16 bits count), position, tension, continuity, bias, two unused
        w.addPositionKeys(100).positionKeys = {{0x12340005, Vec3(1, 1.5f, 2), 0.5f, 0.25f, -0.5f, {9, 10}},
                                               {0xFFFF, Vec3(3, 1, 1), 0.1f, 0.2f, 0.3f}};
        w.addRotationKeys(103).rotationKeys = {{10, {0.1f, 0.2f, 0.3f, 0.4f}}};
    }
};

} // namespace

// The writer puts every field where the exporter does; what the reader makes
// of those bytes is tests/gl/SceneFixtureTest.cpp.
TEST(SceneWriter, WritesTheHandMadeSceneByteForByte)
{
    FullScene full;
    ASSERT_EQ(full.w.check(), "");
    std::vector<unsigned char> written = full.w.toBytes();
    std::vector<unsigned char> expected = scenefixture::handMadeScene();
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < written.size(); ++i)
        ASSERT_EQ(int(written[i]), int(expected[i])) << "first difference at byte " << i;
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
    std::vector<unsigned char> junk = scenefixture::Bytes().u32(sceneformat::kChunkMesh).u32(10).data;
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
    FullScene full(false);
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
