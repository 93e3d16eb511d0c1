#include "entities/DirectionSign.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "scene/Camera.h"
#include "support/GameHarness.h"
#include "support/WorldProbe.h"

#include <gtest/gtest.h>

namespace {

template <typename Kind>
int countOf(const std::vector<App*>& objects, std::size_t from, std::size_t to) {
    int count = 0;
    for (std::size_t i = from; i < to; ++i) {
        count += dynamic_cast<Kind*>(objects[i]) != nullptr ? 1 : 0;
    }
    return count;
}

void expectFreshWorld(Game& game) {
    const std::vector<App*>& objects = game.objects;
    ASSERT_EQ(objects.size(), 50u);
    EXPECT_EQ(objects[0], static_cast<App*>(currentLevel));
    EXPECT_EQ(objects[1], static_cast<App*>(currentShip));
    EXPECT_EQ(objects[2], static_cast<App*>(currentCamera));
    EXPECT_EQ(countOf<DirectionSign>(objects, 3, 19), 16);
    EXPECT_EQ(countOf<Obstacle>(objects, 19, 22), 3);
    EXPECT_EQ(countOf<Satellite>(objects, 22, 50), 28);
    for (App* object : objects) {
        EXPECT_TRUE(object->initialised);
    }
    EXPECT_EQ(game.lives, 3);
    EXPECT_EQ(game.timeLimit, 15);
    EXPECT_EQ(game.hacks, 0);
    EXPECT_FALSE(game.crashed);
    // Everything but the camera is in the collision world.
    EXPECT_EQ(game.dynamicsWorld->getNumCollisionObjects(), 49);
}

} // namespace

TEST(WorldSetup, BuildsTheLevelShipCameraSignsObstaclesAndSatellitesInOrder) {
    GameHarness h;
    h.startPlaying(1.0);
    expectFreshWorld(*h.game);
    auto* firstSign = dynamic_cast<DirectionSign*>(h.game->objects[3]);
    auto* lastSign = dynamic_cast<DirectionSign*>(h.game->objects[18]);
    EXPECT_EQ(firstSign->direction, "left");
    EXPECT_EQ(firstSign->startPosition, glm::vec3(0.0f, 0.0f, -82.2f));
    EXPECT_EQ(lastSign->direction, "down");
    EXPECT_EQ(lastSign->rotationCode, 1.0f);
    auto* lastSatellite = dynamic_cast<Satellite*>(h.game->objects[49]);
    EXPECT_EQ(lastSatellite->startPosition, glm::vec3(-91.0f, 13.7f, 60.0f));
    EXPECT_EQ(h.game->signList.size(), 16u);
    EXPECT_EQ(h.game->satelliteList.size(), 28u);
    h.frameAt(1.2);
    EXPECT_EQ(h.game->score, 0);
    EXPECT_EQ(h.game->timeLeft, 14);
}

TEST(WorldSetup, ASecondGameStartsAfreshAndTheOldOneLeavesItsWorld) {
    GameHarness h;
    h.startPlaying(1.0);
    h.game->hacks = 2;
    h.game->lives = 1;
    h.frameAt(1.5);
    btDiscreteDynamicsWorld* oldWorld = h.game->dynamicsWorld.get();
    h.game->endGame();
    EXPECT_EQ(oldWorld->getNumCollisionObjects(), 0);
    EXPECT_TRUE(h.game->objects.empty());
    EXPECT_EQ(currentShip, nullptr);
    h.game->endGame();
    EXPECT_TRUE(h.game->objects.empty());

    gameState = Intro;
    h.startPlaying(3.0);
    expectFreshWorld(*h.game);
    h.frameAt(3.2);
    EXPECT_EQ(h.game->score, 0);
    EXPECT_EQ(gameState, Playing);
}
