#pragma once
// The script lines that lay the picture filters and the render target's
// shakes and turns over the production's scenes: trails behind the swarm in
// the groove, a glow round the chrome room in the theme, the block look in
// the break, the radial blur turning through the first half of the climax,
// a noise film flashing on the beat through its second half, and the shakes
// and turns on its hits.

class ScriptWriter;

void productionFilters(ScriptWriter& s);
