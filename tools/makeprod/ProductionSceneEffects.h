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
constexpr int tree = 80; // the grown tree of the break
} // namespace sceneEffect
