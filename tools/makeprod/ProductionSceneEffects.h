#pragma once
// The effect ids of the production's scenes, shared by the script parts that
// start them, filter them and cut between them.
namespace sceneEffect {
constexpr int hall = 20;
constexpr int swarm = 21;
constexpr int chrome = 22;
constexpr int toon = 23;
constexpr int relief = 24;
constexpr int shadow = 25;
constexpr int projector = 26;
// The imported models of the climax's last bars.
constexpr int duck = 27;    // textured
constexpr int engine = 28;  // mechanical, many parts
constexpr int spider = 29;  // textured, many legs
constexpr int teapots = 30; // three teapots, one wearing the earth
// The same models again, their meshes wobbling on the beat.
constexpr int duckWobble = 32;
constexpr int teapotWobble = 33;
constexpr int tree = 80; // the grown tree of the break
} // namespace sceneEffect
