#pragma once

#include "entities/Entity.h"

// A fixed barrier panel; touching it is a crash.
class Obstacle : public Entity {
public:
    Obstacle(Game* game, glm::vec3 startPosition, bool skipTurnZ, bool skipTurnY);

    void init() override;
    void drawShadow() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;

    // The panel's basis: unturned, a quarter turn about Z, or (winning) a quarter turn about Y.
    btMatrix3x3 orientation() const;

    bool skipTurnZ;
    bool skipTurnY;
};
