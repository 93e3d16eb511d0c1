#pragma once

#include "entities/Entity.h"

#include <cstdint>

// A collectable that spins in place; touching it hacks it away.
class Satellite : public Entity {
public:
    Satellite(Game* game, glm::vec3 startPosition);

    void init() override;
    void update(double seconds) override;
    void drawShadow() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;

    std::int32_t spinReverse;
};
