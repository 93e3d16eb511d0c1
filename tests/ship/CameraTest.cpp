#include "scene/Camera.h"
#include "support/GameHarness.h"
#include "support/WorldProbe.h"

#include <gtest/gtest.h>

namespace {

void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

} // namespace

TEST(Camera, HangsTwelveBehindAndOneAboveTheShipFlyingAlongMinusZ) {
    GameHarness h;
    h.startPlaying(1.0);
    h.frameAt(1.1);
    expectNear(currentCamera->position, shipPosition() + glm::vec3(0.0f, 1.0f, 12.0f));
    expectNear(currentCamera->direction, glm::vec3(0.0f, 0.0f, -1.0f));
    expectNear(currentCamera->up, glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::vec4 ahead = h.game->view * glm::vec4(shipPosition() + glm::vec3(0, 1, -5), 1.0f);
    EXPECT_NEAR(ahead.x, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-4f);
    EXPECT_LT(ahead.z, 0.0f);
}

TEST(Camera, ProjectionFollowsTheWindowShape) {
    GameHarness h;
    h.startPlaying(1.0);
    h.frameAt(1.1);
    const glm::mat4& p = h.game->projection;
    EXPECT_NEAR(p[0][0], 1.3580f, 1e-4f);
    EXPECT_NEAR(p[1][1], 2.4142f, 1e-4f);
    EXPECT_NEAR(p[2][2], -1.0010005f, 1e-6f);
    EXPECT_EQ(p[2][3], -1.0f);
    EXPECT_NEAR(p[3][2], -0.20010005f, 1e-6f);
    EXPECT_EQ(p[3][3], 0.0f);
}

TEST(Camera, WhileTheShipFliesVerticallyItIsShiftedAlongZInsteadOfRaised) {
    GameHarness h;
    h.startPlaying(1.0);
    clearFlightPath(*h.game);
    h.input.press(GLFW_KEY_UP);
    double t = 1.0;
    for (int i = 0; i < 40; ++i) {
        h.frameAt(t += 1.0 / 60.0);
    }
    ASSERT_EQ(shipHeadingRow(), glm::vec3(0.0f, 1.0f, 0.0f));
    // The climb started from a heading whose rounded row was (0, 0, 1).
    expectNear(currentCamera->direction, glm::vec3(0.0f, 1.0f, 0.0f));
    expectNear(currentCamera->position, shipPosition() + glm::vec3(0.0f, -12.0f, 1.0f));
}
