#pragma once

#include "entities/Entity.h"

#include <string>

// A fixed sign showing which way to turn; touching it is a crash.
class DirectionSign : public Entity {
public:
    DirectionSign(Game* game, glm::vec3 startPosition, float rotationCode, std::string direction);

    void init() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;

    // The turn selected by the rotation code, as a quaternion; unknown codes do not turn.
    btQuaternion rotation() const;

    std::string direction;
    float rotationCode;
};
