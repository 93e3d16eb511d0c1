#include "scene/Camera.h"

#include "app/Game.h"
#include "app/World.h"
#include "ship/Ship.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <cmath>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float distanceBehind = 12.0f;
constexpr float nearPlane = 0.1f;
constexpr float farPlane = 200.0f;

glm::vec3 toGlm(const btVector3& v) {
    return glm::vec3(v.x(), v.y(), v.z());
}

} // namespace

Camera::Camera(Game* game) : game(game), target(currentShip) {}

void Camera::init() {
    position = toGlm(target->ghostObject->getWorldTransform().getOrigin()) +
               glm::vec3(0.0f, 0.0f, distanceBehind);
    direction = glm::vec3(0.0f, 0.0f, 1.0f);
    up = glm::vec3(0.0f, 1.0f, 0.0f);
    right = glm::vec3(-1.0f, 0.0f, 0.0f);
    initialised = true;
}

void Camera::update(double) {
    const btTransform& transform = target->ghostObject->getWorldTransform();
    const glm::vec3 origin = toGlm(transform.getOrigin());
    const glm::vec3 r = toGlm(transform.getBasis().getRow(2));
    direction = glm::vec3(r.x, r.y, -r.z);
    if (target->cameraFlipped) {
        direction.y = -direction.y;
    }
    right = glm::vec3(target->modelMatrix * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f));
    up = glm::cross(right, direction);
    position = origin - distanceBehind * direction;

    // Lift the camera above the ship, or while flying vertically shift it along z instead.
    const float vertical = std::round(direction.y);
    const bool cameFromMinusZ = target->previousHeading == glm::vec3(0.0f, 0.0f, -1.0f);
    if (vertical == 1.0f) {
        position.z += cameFromMinusZ ? -1.0f : 1.0f;
    } else if (vertical == -1.0f) {
        position.z += cameFromMinusZ ? 1.0f : -1.0f;
    } else {
        position.y += 1.0f;
    }

    const float aspect = static_cast<float>(game->width) / static_cast<float>(game->height);
    game->projection = glm::perspective(glm::quarter_pi<float>(), aspect, nearPlane, farPlane);
    game->view = glm::lookAt(position, position + direction, up);
}
