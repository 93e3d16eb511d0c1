#pragma once

#include "app/Game.h"
#include "app/World.h"
#include "entities/Level.h"
#include "ship/Ship.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <glm/vec3.hpp>

// Small views into a running game for tests that fly the ship.

inline glm::vec3 shipPosition() {
    return currentShip->position();
}

inline glm::vec3 shipHeadingRow() {
    return currentShip->roundedHeadingRow();
}

// Takes everything but the ship out of the collision world, so it can fly anywhere.
inline void clearFlightPath(Game& game) {
    currentLevel->removeFromWorld();
    const std::vector<App*> snapshot = game.objects;
    for (App* object : snapshot) {
        if (object != currentShip && object != currentLevel) {
            object->removeFromWorld();
        }
    }
}

inline void placeShip(const glm::vec3& position) {
    btTransform transform = currentShip->ghostObject->getWorldTransform();
    transform.setOrigin(btVector3(position.x, position.y, position.z));
    currentShip->ghostObject->setWorldTransform(transform);
}
