#pragma once

#include <glm/mat4x4.hpp>

class Game;
class SceneObject;
class ShadowRenderer;

// Main-pass draws of one uploaded mesh with its own program. Each counts the mesh and its
// triangles into the game's frame statistics.

// Shadow-mapped family: ship, ghosts, ghost hands, obstacles. Shadow map on unit 1.
void drawShadowMapped(Game& game, SceneObject& mesh, ShadowRenderer& shadowRenderer, glm::mat4 view,
                      glm::mat4 projection);

// Normal-mapped family: level and direction signs, lit from just below the ship.
void drawNormalMapped(Game& game, SceneObject& mesh, glm::mat4 view, glm::mat4 projection);

// Both at once: satellites. Shadow map on unit 3, after the three material textures.
void drawNormalShadowMapped(Game& game, SceneObject& mesh, ShadowRenderer& shadowRenderer,
                            glm::mat4 view, glm::mat4 projection);
