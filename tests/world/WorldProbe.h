#pragma once

#include "app/Game.h"
#include "scene/App.h"
#include "ship/Ship.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <limits>
#include <optional>
#include <vector>

// Looks into the running game's collision world the way the ship's contact walk does.
namespace worldprobe {

// Broadphase and narrowphase once, without the ship's controller, which would push it out.
inline void detectCollisions(Game& game) {
    game.dynamicsWorld->performDiscreteCollisionDetection();
}

inline void placeShip(Ship& ship, btVector3 origin) {
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(origin);
    ship.ghostObject->setWorldTransform(transform);
}

// Takes every object but the level, the ship and the camera out of the world.
inline void keepOnlyLevelShipAndCamera(Game& game) {
    const std::vector<App*> snapshot(game.objects.begin() + 3, game.objects.end());
    for (App* object : snapshot) {
        object->removeFromWorld();
    }
}

inline const btCollisionObject* otherOf(const btBroadphasePair& pair,
                                        const btCollisionObject* self) {
    auto* first = static_cast<const btCollisionObject*>(pair.m_pProxy0->m_clientObject);
    auto* second = static_cast<const btCollisionObject*>(pair.m_pProxy1->m_clientObject);
    return first == self ? second : first;
}

// The collision objects in the ship's ghost pair cache.
inline std::vector<const btCollisionObject*> ghostPartners(const Ship& ship) {
    std::vector<const btCollisionObject*> partners;
    btBroadphasePairArray& pairs =
        ship.ghostObject->getOverlappingPairCache()->getOverlappingPairArray();
    for (int i = 0; i < pairs.size(); ++i) {
        partners.push_back(otherOf(pairs[i], ship.ghostObject.get()));
    }
    return partners;
}

// The smallest contact distance between the ghost and `other` over the manifolds of their
// pair, or nothing when the pair has no contact point.
inline std::optional<float> closestContact(Game& game, const Ship& ship,
                                           const btCollisionObject* other) {
    std::optional<float> closest;
    btBroadphasePairArray& pairs =
        ship.ghostObject->getOverlappingPairCache()->getOverlappingPairArray();
    for (int i = 0; i < pairs.size(); ++i) {
        if (otherOf(pairs[i], ship.ghostObject.get()) != other) {
            continue;
        }
        btBroadphasePair* pair =
            game.dynamicsWorld->getPairCache()->findPair(pairs[i].m_pProxy0, pairs[i].m_pProxy1);
        if (!pair || !pair->m_algorithm) {
            continue;
        }
        btManifoldArray manifolds;
        pair->m_algorithm->getAllContactManifolds(manifolds);
        for (int m = 0; m < manifolds.size(); ++m) {
            for (int p = 0; p < manifolds[m]->getNumContacts(); ++p) {
                float distance = manifolds[m]->getContactPoint(p).getDistance();
                closest = closest ? std::min(*closest, distance) : distance;
            }
        }
    }
    return closest;
}

inline bool touches(Game& game, const Ship& ship, const btCollisionObject* other) {
    std::optional<float> distance = closestContact(game, ship, other);
    return distance && *distance <= 0.0f;
}

} // namespace worldprobe
