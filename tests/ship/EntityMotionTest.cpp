#include "entities/DirectionSign.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "support/GameHarness.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

namespace {

void expectBasis(const btMatrix3x3& basis, const btVector3& row0, const btVector3& row1,
                 const btVector3& row2) {
    const btVector3 rows[3] = {row0, row1, row2};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(basis[r][c], rows[r][c], 1e-5f) << "row " << r << " column " << c;
        }
    }
}

} // namespace

TEST(SatelliteSpin, AQuarterTurnPerSecondAboutTheVerticalEitherWay) {
    GameHarness h;
    h.startPlaying(1.0);
    for (Satellite* satellite : {h.game->satelliteList[0], h.game->satelliteList[1]}) {
        for (int reverse : {0, 1}) {
            satellite->spinReverse = reverse;
            satellite->writeMotionState(
                btTransform(btMatrix3x3::getIdentity(), btVector3(1, 2, 3)));
            satellite->update(0.0);
            expectBasis(satellite->motionState->m_graphicsWorldTrans.getBasis(), {1, 0, 0},
                        {0, 1, 0}, {0, 0, 1});
            for (int i = 0; i < 4; ++i) {
                satellite->update(0.25);
            }
            const float s = reverse ? -1.0f : 1.0f;
            expectBasis(satellite->motionState->m_graphicsWorldTrans.getBasis(), {0, 0, s},
                        {0, 1, 0}, {-s, 0, 0});
            EXPECT_EQ(satellite->modelMatrix[3], glm::vec4(1, 2, 3, 1));
            EXPECT_NEAR(satellite->modelMatrix[0][2], -s, 1e-5f);
        }
    }
}

TEST(SignRotation, CodesPickFixedTurnsAndUnknownCodesDoNotTurn) {
    GameHarness h;
    h.startPlaying(1.0);
    for (float code : {0.0f, 7.5f, -1.0f}) {
        DirectionSign sign(h.game.get(), glm::vec3(0.0f), code, "left");
        btQuaternion q = sign.rotation();
        EXPECT_EQ(q, btQuaternion::getIdentity()) << code;
    }
    DirectionSign turned(h.game.get(), glm::vec3(1.0f, 2.0f, 3.0f), 1.0f, "left");
    turned.init();
    expectBasis(turned.body->getWorldTransform().getBasis(), {1, 0, 0}, {0, 0, -1}, {0, 1, 0});
    EXPECT_EQ(turned.body->getWorldTransform().getOrigin(), btVector3(1, 2, 3));
    const glm::vec4 normal = turned.modelMatrix * glm::vec4(0.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_NEAR(normal.y, -1.0f, 1e-5f);
    EXPECT_NEAR(normal.z, 0.0f, 1e-5f);
    EXPECT_EQ(turned.modelMatrix[3], glm::vec4(1.0f, 2.0f, 3.0f, 1.0f));
    EXPECT_TRUE(turned.initialised);
    turned.removeFromWorld();
}

TEST(ObstacleOrientation, TheTwoFlagsPickTheTurnAndYWins) {
    Game game;
    expectBasis(Obstacle(&game, glm::vec3(0), true, true).orientation(), {1, 0, 0}, {0, 1, 0},
                {0, 0, 1});
    expectBasis(Obstacle(&game, glm::vec3(0), false, true).orientation(), {0, -1, 0}, {1, 0, 0},
                {0, 0, 1});
    expectBasis(Obstacle(&game, glm::vec3(0), true, false).orientation(), {0, 0, 1}, {0, 1, 0},
                {-1, 0, 0});
    expectBasis(Obstacle(&game, glm::vec3(0), false, false).orientation(), {0, 0, 1}, {0, 1, 0},
                {-1, 0, 0});
}
