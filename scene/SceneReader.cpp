#include "scene/SceneReader.h"

#include "gl/TextureManager.h"
#include "resources/VFile.h"
#include "scene/Camera.h"
#include "scene/Dummy.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/PathSwarm.h"
#include "scene/Scene.h"
#include "scene/SceneErrors.h"
#include "scene/SceneFormat.h"
#include "scene/SceneManager.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace sceneformat;

namespace {

bool textureNamesVerbatim = false;

// Little-endian fields of one record already read whole; offsets come from
// SceneFormat.h and always lie inside the record.
struct RecordFields {
    const unsigned char* bytes;

    uint32_t u32(int offset) const
    {
        const unsigned char* p = bytes + offset;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
    int32_t i32(int offset) const { return int32_t(u32(offset)); }
    float f32(int offset) const
    {
        uint32_t bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Vec3 vec3(int offset) const { return Vec3(f32(offset), f32(offset + 4), f32(offset + 8)); }
    Quaternion quaternion(int offset) const
    {
        return Quaternion(f32(offset), f32(offset + 4), f32(offset + 8), f32(offset + 12));
    }
    uint8_t u8(int offset) const { return bytes[offset]; }
    // The zero-terminated text of a field of `size` bytes; a field without a
    // terminator yields all of its bytes.
    std::string text(int offset, int size) const
    {
        const unsigned char* p = bytes + offset;
        size_t length = 0;
        while (length < size_t(size) && p[length])
            ++length;
        return std::string(reinterpret_cast<const char*>(p), length);
    }
};

Matrix4 rotationOf(const Quaternion& q)
{
    Matrix4 m;
    q.toMatrix(m);
    return m;
}

constexpr float kFaceShade = 0.00390625f; // 1 / 256

} // namespace

SceneReader::~SceneReader()
{
    if (file)
        vfclose(file);
}

void SceneReader::setTextureNamesVerbatim(bool on)
{
    textureNamesVerbatim = on;
}

bool SceneReader::getTextureNamesVerbatim()
{
    return textureNamesVerbatim;
}

// ---------------------------------------------------------------------------
// Loading

Scene* SceneReader::load(const char* name, const char* directory)
{
    textureDirectory = directory ? directory : "";
    fileName = name ? name : "";

    SceneManager* manager = SceneManager::getInstance();
    if (Scene* known = manager->find(fileName.c_str()))
        return known;

    bool ok = parse();
    if (file) {
        vfclose(file);
        file = nullptr;
    }
    if (!ok) {
        delete scene;
        scene = nullptr;
        return nullptr;
    }
    Scene* loaded = scene;
    scene = nullptr;
    manager->add(fileName.c_str(), loaded);
    return loaded;
}

bool SceneReader::parse()
{
    file = vfopen(fileName.c_str(), nullptr);
    if (!file)
        return fail("could not open file");

    unsigned char header[4];
    if (vfread(header, 4, 1, file) != 1)
        return fail("not a vornporter file");
    if (RecordFields{header}.u32(0) != kMagic)
        return fail("not a vornporter file");
    if (vfread(header, 4, 1, file) != 1)
        return fail("unexpected end of file in the header");
    int version = RecordFields{header}.i32(0);
    if (version != int(kVersion))
        return fail("the file was exported with Vorn version %i, but the engine uses version %i\nPlease re-export",
                    version, int(kVersion));

    scene = new Scene;
    if (!readChunks())
        return false;
    scene->prepare();
    return scene->link();
}

bool SceneReader::readChunks()
{
    for (;;) {
        unsigned char header[kChunkHeaderSize];
        if (vfread(header, kChunkHeaderSize, 1, file) != 1)
            return fail("unexpected end of file before the end chunk");
        RecordFields fields{header};
        uint32_t type = fields.u32(0);
        uint32_t size = fields.u32(4);
        uint32_t start = vftell(file);
        // Past 4 GiB the end cannot be in the file (the layer holds at most that).
        uint32_t end = size > UINT32_MAX - start ? UINT32_MAX : start + size;

        bool ok = true;
        switch (type) {
        case kChunkMesh: ok = readMesh(type); break;
        case kChunkDummy: ok = readDummy(type); break;
        case kChunkMaterial: ok = readMaterial(type); break;
        case kChunkCamera: ok = readCamera(type); break;
        case kChunkMarker:
        case kChunkFlare: ok = readMarker(type); break;
        case kChunkLight: ok = readLight(type); break;
        case kChunkController: ok = readController(type, end); break;
        case kChunkEnd:
            // Whatever the end chunk carries is ignored: nothing is read after it.
            return true;
        default: ok = skipTo(end); break;
        }
        if (!ok)
            return false;
    }
}

// ---------------------------------------------------------------------------
// Bounded reading

bool SceneReader::readRecord(unsigned char* record, int size, uint32_t chunkType)
{
    if (vfread(record, unsigned(size), 1, file) != 1)
        return fail("unexpected end of file in a chunk of type %u", chunkType);
    return true;
}

bool SceneReader::checkArray(uint32_t count, int elementSize, uint32_t chunkType)
{
    uint32_t pos = vftell(file);
    uint64_t left = pos < file->size ? uint64_t(file->size - pos) : 0;
    if (uint64_t(count) * uint64_t(elementSize) > left)
        return fail("unexpected end of file in a chunk of type %u", chunkType);
    return true;
}

bool SceneReader::skipTo(uint32_t position)
{
    // A position past the end makes the next chunk header read fail.
    vfseek(file, long(position), 0);
    return true;
}

bool SceneReader::fail(const char* format, ...)
{
    char message[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    char wrapped[512];
    std::snprintf(wrapped, sizeof wrapped, "Error in parsing %s: %s\n", fileName.c_str(), message);
    return sceneError(wrapped);
}

void SceneReader::warn(const char* message)
{
    char wrapped[512];
    std::snprintf(wrapped, sizeof wrapped, "Error in parsing %s: %s\n", fileName.c_str(), message);
    sceneWarning(wrapped);
}

bool SceneReader::attach(SceneObject* object, int parentId, const char* what)
{
    if (parentId == 0) {
        scene->addObject(object);
        return true;
    }
    SceneObject* parent = scene->findById(parentId);
    if (!parent) {
        int id = object->getId();
        delete object;
        return fail("%s %d could not find parent obj %d", what, id, parentId);
    }
    parent->addChild(object);
    return true;
}

bool SceneReader::loadTexture(const unsigned char* field, Texture*& texture)
{
    texture = nullptr;
    std::string stored = RecordFields{field}.text(0, kTextureNameSize);
    if (stored.empty())
        return true;

    std::string name = stored;
    std::string directory;
    if (!textureNamesVerbatim) {
        size_t slash = stored.rfind('\\');
        if (slash != std::string::npos)
            name = stored.substr(slash + 1);
        directory = textureDirectory;
    }
    texture = TextureManager::getInstance()->getTexture(name.c_str(), directory.c_str(), GL_TEXTURE_2D);
    if (!texture)
        return fail("could not load texture %s\n", name.c_str());
    return true;
}

// ---------------------------------------------------------------------------
// Records

bool SceneReader::readMesh(uint32_t chunkType)
{
    unsigned char record[kMeshRecordSize];
    if (!readRecord(record, kMeshRecordSize, chunkType))
        return false;
    RecordFields r{record};
    int id = r.i32(mesh::id);
    int parentId = r.i32(mesh::parentId);
    std::string name = r.text(mesh::name, kNameSize);
    uint32_t vertexCount = r.u32(mesh::vertexCount);
    uint32_t coordCount1 = r.u32(mesh::texCoordCount1);
    uint32_t coordCount2 = r.u32(mesh::texCoordCount2);
    uint32_t faceCount = r.u32(mesh::faceCount);

    std::unique_ptr<Mesh> object(faceCount > 0 ? new Mesh(name.c_str(), id) : new PathSwarm(name.c_str(), id));
    object->setPosition(r.vec3(mesh::position));
    object->setRotation(rotationOf(r.quaternion(mesh::rotation)));
    object->setScale(r.vec3(mesh::scale));

    unsigned char element[kFaceSize];
    if (!checkArray(vertexCount, kVertexSize, chunkType))
        return false;
    std::vector<Vertex> vertices(vertexCount);
    for (Vertex& v : vertices) {
        vfread(element, kVertexSize, 1, file);
        v.position = RecordFields{element}.vec3(0);
    }
    object->setVertices(std::move(vertices));

    // The v coordinate is negated on reading, for both sets.
    for (int set = 1; set <= 2; ++set) {
        uint32_t count = set == 1 ? coordCount1 : coordCount2;
        if (!checkArray(count, kTexCoordSize, chunkType))
            return false;
        std::vector<TexCoord> coords(count);
        for (TexCoord& t : coords) {
            vfread(element, kTexCoordSize, 1, file);
            RecordFields e{element};
            t.u = e.f32(0);
            t.v = -e.f32(4);
        }
        if (set == 1)
            object->setTexCoords1(std::move(coords));
        else
            object->setTexCoords2(std::move(coords));
    }

    if (!checkArray(faceCount, kFaceSize, chunkType))
        return false;
    std::vector<Face> faces(faceCount);
    for (uint32_t i = 0; i < faceCount; ++i) {
        vfread(element, kFaceSize, 1, file);
        RecordFields e{element};
        Face& f = faces[i];
        for (int c = 0; c < 3; ++c) {
            uint32_t vi = e.u32(face::vertexIndices + 4 * c);
            uint32_t t1 = e.u32(face::texIndices1 + 4 * c);
            uint32_t t2 = e.u32(face::texIndices2 + 4 * c);
            // An empty coordinate set leaves its indices unused; a non-empty
            // one must hold every index.
            if (vi >= vertexCount)
                return fail("object %d: face %u uses vertex %u of %u", id, i, vi, vertexCount);
            if (coordCount1 > 0 && t1 >= coordCount1)
                return fail("object %d: face %u uses texture coordinate %u of %u", id, i, t1, coordCount1);
            if (coordCount2 > 0 && t2 >= coordCount2)
                return fail("object %d: face %u uses second texture coordinate %u of %u", id, i, t2,
                            coordCount2);
            f.vertexIndex[c] = int(vi);
            f.texIndex1[c] = coordCount1 > 0 ? int(t1) : 0;
            f.texIndex2[c] = coordCount2 > 0 ? int(t2) : 0;
        }
        int materialId = e.i32(face::materialId);
        f.materialId = materialId == -1 ? 0 : materialId;
        f.smoothingGroups = e.u32(face::flags);
        int k = int((20u * i) % 256u);
        f.colour = Color4(float(k) * kFaceShade, 0.0f, 0.0f, 1.0f);
    }
    object->setFaces(std::move(faces));

    return attach(object.release(), parentId, "object");
}

bool SceneReader::readDummy(uint32_t chunkType)
{
    unsigned char record[kDummyRecordSize];
    if (!readRecord(record, kDummyRecordSize, chunkType))
        return false;
    RecordFields r{record};
    Dummy* object = new Dummy(r.text(dummy::name, kNameSize).c_str(), r.i32(dummy::id));
    object->setPosition(r.vec3(dummy::position));
    object->setRotation(rotationOf(r.quaternion(dummy::rotation)));
    object->setScale(r.vec3(dummy::scale));
    return attach(object, r.i32(dummy::parentId), "dummy object");
}

bool SceneReader::readCamera(uint32_t chunkType)
{
    unsigned char record[kCameraRecordSize];
    if (!readRecord(record, kCameraRecordSize, chunkType))
        return false;
    RecordFields r{record};
    Camera* object = new Camera(r.text(camera::name, kNameSize).c_str(), r.i32(camera::id));
    object->setPosition(r.vec3(camera::position));
    object->setFieldOfView(r.f32(camera::fieldOfView));
    object->setTargetId(r.i32(camera::targetId));
    scene->addCamera(object);
    return true;
}

bool SceneReader::readMarker(uint32_t chunkType)
{
    unsigned char record[kMarkerRecordSize];
    if (!readRecord(record, kMarkerRecordSize, chunkType))
        return false;
    RecordFields r{record};
    std::string name = r.text(marker::name, kNameSize);
    int id = r.i32(marker::id);
    if (chunkType == kChunkFlare) {
        Flare* flare = new Flare(name.c_str(), id);
        flare->setPosition(r.vec3(marker::position));
        scene->addFlare(flare);
    } else {
        Marker* object = new Marker(name.c_str(), id);
        object->setPosition(r.vec3(marker::position));
        scene->addObject(object);
    }
    return true;
}

bool SceneReader::readLight(uint32_t chunkType)
{
    unsigned char record[kLightRecordSize];
    if (!readRecord(record, kLightRecordSize, chunkType))
        return false;
    RecordFields r{record};
    std::unique_ptr<Light> object(new Light(r.text(light::name, kNameSize).c_str(), r.i32(light::id)));
    // Each light owns one fixed GL light for its whole life; one past the
    // last would only show up as a GL error in the middle of the show.
    int lightsBefore = 0;
    for (SceneObject* l = scene->getLights(); l; l = l->getNext())
        ++lightsBefore;
    if (lightsBefore >= Light::maxGlLights())
        return fail("the scene has more lights than the %d the GL offers", Light::maxGlLights());
    object->setPosition(r.vec3(light::position));
    Vec3 colour = r.vec3(light::colour);
    object->setColour(Color4(colour.x, colour.y, colour.z, 1.0f));
    float range = r.f32(light::range);
    object->setLinearAttenuation(range > 0.0f ? 1.0f / (range * 0.5f) : 0.0f);
    object->setTargetId(r.i32(light::targetId));
    object->setSpotCutoff(r.f32(light::spotCutoff));
    object->setSpotExponent(r.f32(light::spotExponent));

    Texture* projected = nullptr;
    if (!loadTexture(record + light::projectedTexture, projected))
        return false;
    if (projected)
        object->setProjectedTexture(projected);
    scene->addLight(object.release());
    return true;
}

bool SceneReader::readMaterial(uint32_t chunkType)
{
    unsigned char record[kMaterialRecordSize];
    if (!readRecord(record, kMaterialRecordSize, chunkType))
        return false;
    RecordFields r{record};
    std::unique_ptr<Material> m(new Material(r.text(material::name, kNameSize).c_str(), r.i32(material::id)));
    Vec3 c = r.vec3(material::ambient);
    m->setAmbient(c.x, c.y, c.z, 1.0f);
    c = r.vec3(material::diffuse);
    m->setDiffuse(c.x, c.y, c.z, 1.0f);
    c = r.vec3(material::specular);
    m->setSpecular(c.x, c.y, c.z, 1.0f);
    m->setShininess(r.f32(material::glossiness), r.f32(material::specularLevel));
    m->setOpacity(r.f32(material::opacity));
    m->setTwoSided(r.u8(material::twoSided) != 0);

    Texture* diffuseMap = nullptr;
    Texture* secondMap = nullptr;
    Texture* additiveMap = nullptr;
    Texture* detailMap = nullptr;
    Texture* bumpMap = nullptr;
    Texture* opacityMap = nullptr;
    if (!loadTexture(record + material::diffuseMap, diffuseMap))
        return false;
    if (diffuseMap)
        m->setPrimaryMap(diffuseMap);
    if (!loadTexture(record + material::secondMap, secondMap))
        return false;
    if (secondMap)
        m->setSecondMap(secondMap);
    if (!loadTexture(record + material::additiveMap, additiveMap))
        return false;
    if (additiveMap) {
        m->setPrimaryMap(additiveMap);
        m->setAdditive(true);
    }
    if (!loadTexture(record + material::detailMap, detailMap))
        return false;
    if (detailMap)
        m->setDetailMap(detailMap);
    if (!loadTexture(record + material::bumpMap, bumpMap))
        return false;
    if (bumpMap)
        m->setBumpMap(bumpMap);
    if (!loadTexture(record + material::opacityMap, opacityMap))
        return false;
    if (opacityMap)
        m->setOpacityMap(opacityMap);

    int mode;
    if (r.u8(material::environment) != 0)
        mode = secondMap ? kModeEnvironmentSecond : kModeEnvironment;
    else if (diffuseMap)
        mode = secondMap ? kModePrimaryAddSecond : detailMap ? kModePrimaryDetail : bumpMap ? kModeBump : kModePrimary;
    else if (secondMap && bumpMap)
        mode = kModeBumpSecond;
    else
        mode = additiveMap ? kModePrimary : secondMap ? kModeSecond : kModeLit;
    m->setRenderMode(mode);

    scene->addMaterial(m.release());
    return true;
}

bool SceneReader::readController(uint32_t chunkType, uint32_t chunkEnd)
{
    unsigned char record[kControllerRecordSize];
    if (!readRecord(record, kControllerRecordSize, chunkType))
        return false;
    RecordFields r{record};
    int ownerId = r.i32(controller::ownerId);
    uint32_t kind = r.u32(controller::kind);
    uint32_t controllerClass = r.u32(controller::controllerClass);
    uint32_t count = r.u32(controller::count);
    int interval = r.i32(controller::interval);
    // Big enough for any key or sample.
    unsigned char element[kPositionKeySize];
    static_assert(kPositionKeySize >= kSampleSize && kPositionKeySize >= kRotationKeySize);

    if (controllerClass == kClassKeyed && kind == kKindPositionKeys) {
        if (!checkArray(count, kPositionKeySize, chunkType))
            return false;
        std::vector<PositionKey> keys(count);
        for (PositionKey& k : keys) {
            vfread(element, kPositionKeySize, 1, file);
            RecordFields e{element};
            k.frame = int16_t(uint16_t(e.u32(0) & 0xFFFFu));
            k.position = e.vec3(4);
            k.tension = e.f32(16);
            k.continuity = e.f32(20);
            k.bias = e.f32(24);
            k.unused[0] = e.f32(28);
            k.unused[1] = e.f32(32);
        }
        SceneObject* owner = scene->findById(ownerId);
        if (!owner)
            return fail("could not find owner for controller object");
        owner->setPositionKeys(std::move(keys));
        return true;
    }
    if (controllerClass == kClassKeyed && kind == kKindRotationKeys) {
        if (!checkArray(count, kRotationKeySize, chunkType))
            return false;
        std::vector<RotationKey> keys(count);
        for (RotationKey& k : keys) {
            vfread(element, kRotationKeySize, 1, file);
            RecordFields e{element};
            k.frame = int16_t(uint16_t(e.u32(0) & 0xFFFFu));
            for (int i = 0; i < 4; ++i)
                k.value[i] = e.f32(4 + 4 * i);
        }
        SceneObject* owner = scene->findById(ownerId);
        if (!owner)
            return fail("could not find owner for controller object");
        owner->setRotationKeys(std::move(keys));
        return true;
    }
    if (controllerClass == kClassSampled && kind == kKindPositionRotation) {
        if (!checkArray(count, kSampleSize, chunkType))
            return false;
        std::vector<Vec3> positions(count);
        std::vector<Quaternion> rotations(count);
        for (uint32_t i = 0; i < count; ++i) {
            vfread(element, kSampleSize, 1, file);
            RecordFields e{element};
            positions[i] = e.vec3(0);
            rotations[i] = e.quaternion(12);
        }
        SceneObject* owner = scene->findById(ownerId);
        if (owner)
            owner->setSamples(std::move(positions), std::move(rotations), interval);
        else
            warn("could not find owner for VORN_CTRL_PR object - skipping it!");
        // The last sampled controller of the file sets the scene's clock.
        scene->setSampleCount(int(count));
        scene->setSampleInterval(interval);
        return true;
    }
    if (controllerClass == kClassSampled)
        return fail("other sample controller type than VORN_CTRL_PR not supported yet");
    // Keyed kinds and classes this engine does not know: their data is skipped.
    return skipTo(chunkEnd);
}
