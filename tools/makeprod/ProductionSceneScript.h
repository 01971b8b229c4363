#pragma once
// The script lines that play the production's 3D scenes (ProductionScenes.h)
// on the scene effects 20 to 24, layer 2, over the whole show: the hall in
// the intro, the swarm in the groove, the chrome room in the theme, quick
// cuts between all of them in the climax and the hall again, fogging over, in
// the outro. The break and the build belong to the generated effects
// (GeneratedEffectsScript.h).

class ScriptWriter;

void productionScenes(ScriptWriter& s);
