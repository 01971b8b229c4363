#pragma once
// The script lines of the shadow scenes, on layer 2 with the other scenes:
//   scene effect 25 plays shadow.vsc in the second half of the theme
//   (bars 20-24), Spot01 casting from the cut on, the shadows blinking off
//   for a beat before the break;
//   scene effect 26 plays projector.vsc with its projector on in the climax
//   cut of bar 42.

class ScriptWriter;

void shadowScenesScript(ScriptWriter& s);
