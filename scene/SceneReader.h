#pragma once
// Turns a scene file (SceneFormat.h) into a Scene.
//
// load() parses a file at most once: it first asks the SceneManager for a
// scene registered under the file name and, after parsing, registers the new
// one there. Reading goes chunk by chunk through the virtual file layer; each
// record is read whole and taken apart field by field, and every array is
// checked against the bytes left in the file before anything is allocated.
// Once all chunks are in, the objects are prepared (normals) and the scene is
// linked (materials, draw arrays, drawing order, camera and light targets).
//
// Every problem is reported as "Error in parsing <file>: <message>\n" through
// the fatal error box, except a sampled controller whose owner is missing,
// which is a warning. Indices outside their arrays and files that end early
// are rejected the same way, and so is a light beyond the number of GL lights;
// nothing is read outside the file. Chunks of
// unknown types, and controllers of unknown classes or keyed kinds, are
// skipped by their size. (In the recoverable mode of SceneErrors.h, used by
// the fuzz target, load returns none instead of ending the process.)
//
// A reader is a short-lived object for one load, on the GL thread: lights,
// materials and textures issue GL calls.

#include <cstdint>
#include <string>

class Camera;
class Scene;
class SceneObject;
class Texture;
class VFile;

class SceneReader {
public:
    SceneReader() = default;
    ~SceneReader();

    SceneReader(const SceneReader&) = delete;
    SceneReader& operator=(const SceneReader&) = delete;

    // The scene of `fileName` (its reference count raised when it was
    // registered already). Texture files are looked up in `textureDirectory`
    // (ending in its own separator). None only in recoverable mode.
    Scene* load(const char* fileName, const char* textureDirectory);

    // On: texture names are used exactly as stored, with no directory.
    // Off (the engine's setting): only the part after the last backslash is
    // used, looked up in the texture directory.
    static void setTextureNamesVerbatim(bool on);
    static bool getTextureNamesVerbatim();

private:
    bool parse();
    bool readChunks();
    bool readMesh(uint32_t chunkType);
    bool readDummy(uint32_t chunkType);
    bool readMaterial(uint32_t chunkType);
    bool readCamera(uint32_t chunkType);
    bool readMarker(uint32_t chunkType);
    bool readLight(uint32_t chunkType);
    bool readController(uint32_t chunkType, uint32_t chunkEnd);

    // Reads `size` bytes of the chunk of type `chunkType`; a short file fails.
    bool readRecord(unsigned char* record, int size, uint32_t chunkType);
    // Fails unless `count` elements of `elementSize` bytes remain in the file.
    bool checkArray(uint32_t count, int elementSize, uint32_t chunkType);
    bool skipTo(uint32_t position);
    // Hangs the object under its parent (or at the top level for parent 0);
    // `what` words the message for a missing parent.
    bool attach(SceneObject* object, int parentId, const char* what);
    // Loads a texture name field. False only for a failure; an empty name
    // yields none and true.
    bool loadTexture(const unsigned char* field, Texture*& texture);

    // Reports "Error in parsing <file>: <message>\n"; returns false (when it returns).
    bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void warn(const char* message);

    std::string textureDirectory;
    std::string fileName;
    VFile* file = nullptr;   // open from the start of parsing to its end
    Scene* scene = nullptr;  // under construction; owned until registered
};
