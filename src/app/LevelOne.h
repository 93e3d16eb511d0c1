#pragma once

#include <array>
#include <glm/vec3.hpp>

// Where level 1's signs, ghosts, obstacles and satellites stand, in creation order.
struct SignPlacement {
    const char* direction;
    glm::vec3 position;
    float rotationCode;
};

struct ObstaclePlacement {
    glm::vec3 position;
    bool skipTurnZ;
    bool skipTurnY;
};

extern const std::array<SignPlacement, 16> levelOneSigns;
extern const std::array<glm::vec3, 57> levelOneGhosts;
extern const std::array<ObstaclePlacement, 3> levelOneObstacles;
extern const std::array<glm::vec3, 28> levelOneSatellites;
