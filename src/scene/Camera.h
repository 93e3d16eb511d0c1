#pragma once

#include "scene/App.h"

#include <glm/vec3.hpp>

class Game;
class Ship;

// Chase camera 12 units behind the ship; writes the game's view and projection.
class Camera : public App {
public:
    explicit Camera(Game* game);

    void init() override;
    void update(double deltaSeconds) override;

    Game* game;
    Ship* target;
    glm::vec3 position{0.0f};
    glm::vec3 direction{0.0f};
    glm::vec3 up{0.0f};
    glm::vec3 right{0.0f};
};
