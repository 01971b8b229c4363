#include "tools/vpimport/EngineAxes.h"

#include <assimp/metadata.h>

#include <cmath>
#include <cstdio>

namespace {

// Engine units (centimetres) per metre.
constexpr float kMetre = 100.0f;

bool metadataInt(const aiScene& scene, const char* key, int& out)
{
    if (!scene.mMetaData)
        return false;
    int32_t i = 0;
    if (scene.mMetaData->Get(key, i)) {
        out = i;
        return true;
    }
    return false;
}

bool metadataReal(const aiScene& scene, const char* key, double& out)
{
    if (!scene.mMetaData)
        return false;
    double d = 0.0;
    float f = 0.0f;
    if (scene.mMetaData->Get(key, d)) {
        out = d;
        return true;
    }
    if (scene.mMetaData->Get(key, f)) {
        out = f;
        return true;
    }
    return false;
}

// FBX files say which of their axes points up, which toward the viewer (the
// "front" axis) and which to the right, each with a sign; the library hands
// the coordinates over as stored. Rows of the result pick the file axis that
// becomes engine x, y and z.
bool fbxAxes(const aiScene& scene, aiMatrix4x4& out, std::string& description)
{
    int up = 1, upSign = 1, front = 2, frontSign = 1, coord = 0, coordSign = 1;
    if (!metadataInt(scene, "UpAxis", up))
        return false;
    metadataInt(scene, "UpAxisSign", upSign);
    metadataInt(scene, "FrontAxis", front);
    metadataInt(scene, "FrontAxisSign", frontSign);
    metadataInt(scene, "CoordAxis", coord);
    metadataInt(scene, "CoordAxisSign", coordSign);
    if (up < 0 || up > 2 || front < 0 || front > 2 || coord < 0 || coord > 2 || up == front || up == coord ||
        front == coord)
        return false;
    aiMatrix4x4 m;
    for (int c = 0; c < 3; ++c)
        m[0][c] = m[1][c] = m[2][c] = 0.0f;
    m[0][coord] = coordSign < 0 ? -1.0f : 1.0f;
    m[1][up] = upSign < 0 ? -1.0f : 1.0f;
    m[2][front] = frontSign < 0 ? -1.0f : 1.0f;
    // Axes that make a left-handed frame are mirrored through z, the one
    // axis a viewer cannot see the sign of from the front.
    if (m.Determinant() < 0.0f)
        for (int c = 0; c < 3; ++c)
            m[2][c] = -m[2][c];
    out = m;
    static const char* names[] = {"x", "y", "z"};
    description = std::string(upSign < 0 ? "-" : "") + names[up] + " up";
    return true;
}

} // namespace

std::string unitName(float cm)
{
    static const struct {
        float cm;
        const char* name;
    } known[] = {{100.0f, "metres"}, {1.0f, "centimetres"}, {0.1f, "millimetres"}, {2.54f, "inches"}};
    for (const auto& k : known)
        if (std::fabs(cm - k.cm) <= 1e-4f * k.cm)
            return k.name;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%g cm per unit", double(cm));
    return buf;
}

SourceFrame sourceFrame(const aiScene& scene, const std::string& extension, float userScale, float assumedUnit)
{
    SourceFrame frame;
    aiMatrix4x4 axes; // identity: the library already hands most formats over y up
    // Centimetres per file unit; formats whose files cannot say take the
    // custom of the tools that write them, or --units.
    float unit = 1.0f;
    bool said = true;
    std::string axesText = "y up";

    if (extension == "gltf" || extension == "glb") {
        // Y up, right-handed, metres, by definition of the format.
        unit = kMetre;
    } else if (extension == "blend") {
        // Blender: z up, the front view looking along +y, metres; the
        // library hands the coordinates over as stored.
        axes = aiMatrix4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
        axesText = "z up";
        unit = kMetre;
    } else if (extension == "3mf" || extension == "amf") {
        // The formats of 3D printing: z up, millimetres.
        axes = aiMatrix4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
        axesText = "z up";
        unit = 0.1f;
    } else if (extension == "stl") {
        // CAD and 3D printing: z up, and millimetres by custom only.
        axes = aiMatrix4x4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
        axesText = "z up";
        unit = 0.1f;
        said = false;
    } else if (extension == "x3d" || extension == "x3db" || extension == "wrl" || extension == "ifc" ||
               extension == "lwo" || extension == "lws") {
        unit = kMetre; // X3D and VRML, IFC, LightWave
    } else if (extension == "dae" || extension == "zae") {
        // The library applies the file's <unit> and <up_axis>: metres, y up.
        unit = kMetre;
    } else if (extension == "fbx") {
        std::string text;
        if (fbxAxes(scene, axes, text))
            axesText = text;
        double cm = 1.0;
        said = metadataReal(scene, "UnitScaleFactor", cm) && cm > 0.0 && std::isfinite(cm);
        unit = said ? float(cm) : 1.0f; // centimetres unless the file says otherwise
    } else {
        // OBJ, 3DS, PLY and the rest count in units they do not name.
        // Centimetres, the engine's own unit, unless --units says.
        if (extension == "3ds")
            axesText = "z up"; // the library turns the root a quarter turn about x
        said = false;
    }
    if (!said && assumedUnit > 0.0f)
        unit = assumedUnit;

    frame.unit = unitName(unit);
    frame.unitSaid = said;
    frame.unitScale = unit * userScale;
    aiMatrix4x4 scale;
    aiMatrix4x4::Scaling(aiVector3D(frame.unitScale), scale);
    frame.toEngine = scale * axes;
    frame.description = axesText + ", " + (said ? frame.unit : frame.unit + " (the file does not say)");
    return frame;
}

namespace {

// The rotation part of m, orthonormalised; a mirror stays with the scale.
aiMatrix3x3 properRotation(const aiMatrix4x4& m, float s[3], bool& ok)
{
    aiVector3D col[3] = {aiVector3D(m.a1, m.b1, m.c1), aiVector3D(m.a2, m.b2, m.c2), aiVector3D(m.a3, m.b3, m.c3)};
    for (int i = 0; i < 3; ++i)
        s[i] = col[i].Length();
    ok = s[0] > 0.0f && s[1] > 0.0f && s[2] > 0.0f;
    if (!ok)
        return aiMatrix3x3(); // flattened to nothing along an axis: no rotation to read back
    if (aiMatrix3x3(m).Determinant() < 0.0f)
        s[0] = -s[0];
    for (int i = 0; i < 3; ++i)
        col[i] /= s[i];
    // Gram-Schmidt, so that shear or rounding cannot make a quaternion of
    // something that is not a rotation.
    col[0].Normalize();
    col[1] = col[1] - col[0] * (col[0] * col[1]);
    col[1].Normalize();
    col[2] = col[0] ^ col[1];
    return aiMatrix3x3(col[0].x, col[1].x, col[2].x, col[0].y, col[1].y, col[2].y, col[0].z, col[1].z, col[2].z);
}

} // namespace

aiMatrix4x4 rigidPart(const aiMatrix4x4& m)
{
    float s[3];
    bool ok = false;
    aiMatrix4x4 r(properRotation(m, s, ok));
    r.a4 = m.a4;
    r.b4 = m.b4;
    r.c4 = m.c4;
    return r;
}

EngineTransform engineTransform(const aiMatrix4x4& m)
{
    EngineTransform t;
    t.position = Vec3(m.a4, m.b4, m.c4);
    float s[3];
    bool ok = false;
    aiMatrix3x3 r = properRotation(m, s, ok);
    if (ok)
        t.rotation = engineRotation(aiQuaternion(r));
    t.scale = Vec3(s[0], s[1], s[2]);
    return t;
}

Quaternion engineRotation(const aiQuaternion& q)
{
    aiQuaternion n = q;
    n.Normalize();
    return Quaternion(-n.x, -n.y, -n.z, n.w);
}
