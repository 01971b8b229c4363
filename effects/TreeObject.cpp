#include "effects/TreeObject.h"

#include "effects/TreeGenerator.h"
#include "gl/ErrorBox.h"
#include "resources/VFile.h"
#include "scene/Material.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

constexpr const char* kDefaultMaterialName = "TreeMaterialDefault";
constexpr int kDefaultMaterialId = 1024;

// The tree's geometry straight to GL, in immediate mode.
class GLTreePath : public TreeDrawPath {
public:
    void pushMatrix() override { glPushMatrix(); }
    void popMatrix() override { glPopMatrix(); }
    void translate(float x, float y, float z) override { glTranslatef(x, y, z); }
    void rotate(float degrees, float x, float y, float z) override { glRotatef(degrees, x, y, z); }
    void beginQuads() override { glBegin(GL_QUADS); }
    void grey(float level) override { glColor3f(level, level, level); }
    void normal(float x, float y, float z) override { glNormal3f(x, y, z); }
    void vertex(float x, float y, float z) override { glVertex3f(x, y, z); }
    void endQuads() override { glEnd(); }
};

} // namespace

TreeObject::TreeObject(int id, const char* name, const char* fileName) : SceneObject(name, id)
{
    read(fileName);
    defaultMaterial = new Material(kDefaultMaterialName, kDefaultMaterialId);
    material = defaultMaterial;
}

TreeObject::TreeObject(const TreeObject& other, int id, const char* name)
    : SceneObject(name, id), parameters(other.parameters), growth(other.growth), swayTime(other.swayTime)
{
    defaultMaterial = new Material(kDefaultMaterialName, kDefaultMaterialId);
    material = other.material == other.defaultMaterial ? defaultMaterial : other.material;
}

TreeObject::~TreeObject()
{
    delete defaultMaterial;
}

SceneObject* TreeObject::clone() const
{
    TreeObject* copy = new TreeObject(*this, id, name.c_str());
    copyBaseTo(*copy);
    return copy;
}

void TreeObject::read(const char* fileName)
{
    VFile file;
    if (!vfopen(fileName, &file)) {
        // The message names no file; this line beside it does.
        std::fprintf(stderr, "%s: could not be read\n", fileName);
        errorBox("could not open tree file for parsing", true);
    }
    readTreeParameters(file, parameters);
}

void TreeObject::setMaterialSelf(Material* m)
{
    material = m ? m : defaultMaterial;
}

void TreeObject::draw()
{
    checkGLError("treeobject render start");
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_LIGHTING);
    material->setup();

    GLTreePath path;
    TreeGenerator generator(parameters, growth, swayTime, path);
    generator.generate();

    material->end();
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    checkGLError("treeobject render end");
}
