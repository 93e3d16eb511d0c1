#pragma once

#include "entities/Entity.h"

// The fixed tunnel geometry: drawn normal-mapped, never culled; any touch is a crash.
class Level : public Entity {
public:
    explicit Level(Game* game);

    void init() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;
    // The level stays in the game's list (and is drawn); only its body leaves the world.
    void removeFromWorld() override;
};
