#include "entities/DirectionSign.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "support/GameHarness.h"
#include "support/WorldProbe.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Kinematic bodies follow their motion state at the next physics step.
void moveTo(Satellite* satellite, const glm::vec3& position) {
    btTransform transform;
    satellite->motionState->getWorldTransform(transform);
    transform.setOrigin(btVector3(position.x, position.y, position.z));
    satellite->motionState->setWorldTransform(transform);
}

bool inObjects(Game& game, App* object) {
    return std::find(game.objects.begin(), game.objects.end(), object) != game.objects.end();
}

class Contacts : public ::testing::Test {
protected:
    void SetUp() override {
        h.renderSmall();
        h.startPlaying(1.0);
        first = h.game->satelliteList[0];
        second = h.game->satelliteList[1];
    }
    void frameWithSatellitesOnTheShip(std::initializer_list<Satellite*> satellites) {
        for (Satellite* satellite : satellites) {
            moveTo(satellite, shipPosition());
        }
        h.frameAt(t += 0.05);
    }
    GameHarness h;
    Satellite* first = nullptr;
    Satellite* second = nullptr;
    double t = 1.0;
};

} // namespace

TEST_F(Contacts, TwoSatellitesInOneFrameHackOnlyTheFirstAndTheSecondAfterTheCooldown) {
    frameWithSatellitesOnTheShip({first, second});
    EXPECT_EQ(h.game->hacks, 1);
    EXPECT_NE(inObjects(*h.game, first), inObjects(*h.game, second));
    Satellite* remaining = inObjects(*h.game, first) ? first : second;
    for (int i = 0; i < 6; ++i) {
        frameWithSatellitesOnTheShip({remaining});
        EXPECT_EQ(h.game->hacks, 1) << "frame " << i;
    }
    for (int i = 0; i < 4 && h.game->hacks < 2; ++i) {
        frameWithSatellitesOnTheShip({remaining});
    }
    EXPECT_EQ(h.game->hacks, 2);
    EXPECT_FALSE(inObjects(*h.game, remaining));
    EXPECT_EQ(gameState, Playing);
    h.frameAt(t += 0.05);
    EXPECT_EQ(h.game->score, 150);
}

TEST_F(Contacts, ASatelliteNearButNotTouchingTriggersNothing) {
    // Approach from the side in small steps; points with a positive distance come first.
    btVector3 shipMin, shipMax, satelliteMin, satelliteMax;
    currentShip->ghostObject->getCollisionShape()->getAabb(btTransform::getIdentity(), shipMin,
                                                           shipMax);
    first->shape->getAabb(btTransform::getIdentity(), satelliteMin, satelliteMax);
    float offset = shipMax.x() - satelliteMin.x() + 0.05f;
    bool sawNearContact = false;
    for (int i = 0; i < 800; ++i) {
        moveTo(first, shipPosition() + glm::vec3(offset, 0.0f, 0.0f));
        h.frameAt(t += 0.0005);
        offset -= 0.004f;
        if (h.game->hacks != 0) {
            break;
        }
        const btManifoldArray manifolds = [&] {
            btManifoldArray found;
            btBroadphasePair* pair = h.game->dynamicsWorld->getPairCache()->findPair(
                currentShip->ghostObject->getBroadphaseHandle(),
                first->body->getBroadphaseHandle());
            if (pair && pair->m_algorithm) {
                pair->m_algorithm->getAllContactManifolds(found);
            }
            return found;
        }();
        bool anyPoint = false, allPositive = true;
        for (int m = 0; m < manifolds.size(); ++m) {
            for (int p = 0; p < manifolds[m]->getNumContacts(); ++p) {
                anyPoint = true;
                allPositive = allPositive && manifolds[m]->getContactPoint(p).getDistance() > 0.0f;
            }
        }
        sawNearContact = sawNearContact || (anyPoint && allPositive);
    }
    EXPECT_TRUE(sawNearContact);
    EXPECT_EQ(h.game->hacks, 1);
}

TEST_F(Contacts, ACrashAfterAHackInTheSameFrameKeepsTheHack) {
    // A first frame in cooldown files the satellite's pair before the obstacle's.
    currentShip->nextContactTime = 100.0f;
    frameWithSatellitesOnTheShip({first});
    EXPECT_EQ(h.game->hacks, 0);
    currentShip->nextContactTime = 0.0f;
    placeShip(h.game->obstacleList[2]->startPosition);
    frameWithSatellitesOnTheShip({first});
    EXPECT_EQ(h.game->hacks, 1);
    EXPECT_EQ(gameState, Lost);
}

TEST(Crashes, TouchingTheLevelAnObstacleOrASignEndsTheGameAsLost) {
    {
        GameHarness h;
        h.startPlaying(1.0);
        placeShip(glm::vec3(0.0f, -10.0f, -5.0f));
        h.frameAt(1.05);
        EXPECT_TRUE(h.game->objects.empty());
        EXPECT_EQ(gameState, Lost);
    }
    {
        GameHarness h;
        h.startPlaying(1.0);
        placeShip(h.game->obstacleList[2]->startPosition);
        h.frameAt(1.05);
        EXPECT_EQ(gameState, Lost);
    }
    {
        GameHarness h;
        h.startPlaying(1.0);
        currentLevel->removeFromWorld();
        placeShip(h.game->signList[0]->startPosition + glm::vec3(0.0f, 0.0f, 0.5f));
        h.frameAt(1.05);
        EXPECT_EQ(gameState, Lost);
    }
}
