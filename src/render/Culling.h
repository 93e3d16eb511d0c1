#pragma once

#include <glm/vec3.hpp>

class SceneObject;

// World-space axis-aligned box that encloses everything an entity draws.
struct CullingBox {
    glm::vec3 centre{0.0f};
    glm::vec3 halfExtent{0.0f};
};

// False when the box lies wholly outside one plane of the frame's viewProjection, so the
// object can skip its draw. Boxes straddling several planes count as visible.
bool isBoxInFrustum(glm::vec3 centre, glm::vec3 halfExtent);

// The mesh's model-space bounds carried through its whole model matrix; a mesh without
// vertices gets an empty box at its translation.
CullingBox computeCullingBox(SceneObject& entity);
