#pragma once
// A procedurally grown tree hung into a scene like any other object. It
// stores only the tree's parameters (read from a text file, see
// TreeParameters.h) and grows the whole tree again in immediate-mode GL every
// time it is drawn, so a change of parameters, growth or sway shows on the
// next frame and the object costs a few hundred bytes.
//
// The object draws with a material: its own "TreeMaterialDefault" (owned)
// until another is given with setMaterial (not owned; the scene's).

#include "effects/TreeParameters.h"
#include "scene/SceneObject.h"

class Material;

class TreeObject : public SceneObject {
public:
    // Reads the parameters from `fileName` through the virtual file layer.
    // Fatal when the file cannot be opened: "could not open tree file for
    // parsing".
    TreeObject(int id, const char* name, const char* fileName);
    ~TreeObject() override;

    void draw() override;
    // A new tree with the same parameters, growth and sway, and the same
    // material; it owns a default material of its own.
    SceneObject* clone() const override;

    // Reads the parameters again (also signal 90 of the Tree effect): the
    // values the file does not give stay as they were.
    void read(const char* fileName);

    void setGrowth(float value) { growth = value; }
    float getGrowth() const { return growth; }
    void setSwayTime(float value) { swayTime = value; }
    float getSwayTime() const { return swayTime; }

    const TreeParameters& getParameters() const { return parameters; }
    // The material the tree draws with (never none).
    Material* getTreeMaterial() const { return material; }
    const Material* getDefaultMaterial() const { return defaultMaterial; }

protected:
    // For this object only. None gives the tree its own default material back.
    void setMaterialSelf(Material* m) override;

private:
    TreeObject(const TreeObject& other, int id, const char* name);

    TreeParameters parameters;
    Material* defaultMaterial = nullptr; // owned
    Material* material = nullptr;        // the default or the scene's
    float growth = 1.0f;                 // 1 and above: the whole tree
    float swayTime = 0.0f;               // hundredths of a radian of the sway's swing
};
