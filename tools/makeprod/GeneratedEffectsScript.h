#pragma once
// The script lines of the generated effects and the live controls:
//   the key controller (id 1) on layer 1 from the start;
//   the credits and the emblem through the effect switcher (50, layer 10)
//   in the intro and the outro;
//   the forcefield (6) over the groove on layer 5;
//   the tree (80) growing and swaying on its planet in the break, layer 2;
//   the wobbling geosphere (10) and the pulsing crate (11) in the build,
//   layer 2, on one shared scene;
//   invert flashes (61, layer 13) on the accents of the climax.

class ScriptWriter;

void generatedEffectsScript(ScriptWriter& s);
