#include "support/GameHarness.h"
#include "support/WorldProbe.h"

#include <gtest/gtest.h>

namespace {

// Flies with no key held and returns the distance covered in one second of frames.
float distanceInOneSecond(double frameSeconds, int hacks = 0) {
    GameHarness h;
    h.renderSmall();
    h.startPlaying(1.0);
    clearFlightPath(*h.game);
    h.game->hacks = hacks;
    double t = 1.0;
    for (int i = 0; i < static_cast<int>(0.25 / frameSeconds); ++i) {
        h.frameAt(t += frameSeconds);
    }
    const glm::vec3 before = shipPosition();
    for (int i = 0; i < static_cast<int>(std::lround(1.0 / frameSeconds)); ++i) {
        h.frameAt(t += frameSeconds);
    }
    const glm::vec3 after = shipPosition();
    EXPECT_FLOAT_EQ(after.x, before.x);
    EXPECT_FLOAT_EQ(after.y, before.y);
    return before.z - after.z;
}

// Runs frames of 1/60 s until `seconds` have passed.
double fly(GameHarness& h, double from, double seconds) {
    double t = from;
    for (int i = 0; i < static_cast<int>(std::lround(seconds * 60.0)); ++i) {
        h.frameAt(t += 1.0 / 60.0);
    }
    return t;
}

class Flight : public ::testing::Test {
protected:
    void SetUp() override {
        h.renderSmall();
        h.startPlaying(1.0);
        clearFlightPath(*h.game);
        t = 1.0;
    }
    GameHarness h;
    double t = 0.0;
};

} // namespace

TEST(FlightSpeed, WithNoKeyTheShipFliesAlongMinusZAtAFrameRateIndependentSpeed) {
    // Two controller updates a frame (the world's and the ship's own) at 12 units each.
    const float slowFrames = distanceInOneSecond(1.0 / 30.0);
    const float fastFrames = distanceInOneSecond(1.0 / 240.0);
    EXPECT_NEAR(slowFrames, 24.0f, 0.05f);
    EXPECT_NEAR(fastFrames, 24.0f, 0.05f);
}

TEST(FlightSpeed, TheSpeedRisesWithTheScore) {
    EXPECT_NEAR(distanceInOneSecond(1.0 / 60.0, 7), 32.0f, 0.05f);
    EXPECT_EQ(shipSpeed, 16.0f);
    EXPECT_NEAR(distanceInOneSecond(1.0 / 60.0, 12), 40.0f, 0.05f);
    EXPECT_EQ(shipSpeed, 20.0f);
}

TEST_F(Flight, AHeldArrowTurnsOnceInHalfASecondAndAFreshPressTurnsAgain) {
    h.input.press(GLFW_KEY_LEFT);
    t = fly(h, t, 0.45);
    EXPECT_TRUE(currentShip->turningLeft);
    t = fly(h, t, 0.1);
    EXPECT_FALSE(currentShip->turningLeft);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(-1.0f, 0.0f, 0.0f));
    t = fly(h, t, 1.0);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(-1.0f, 0.0f, 0.0f));
    const glm::vec3 before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_LT(shipPosition().x, before.x - 10.0f);
    EXPECT_FLOAT_EQ(shipPosition().z, before.z);

    h.input.release(GLFW_KEY_LEFT);
    t = fly(h, t, 0.1);
    h.input.press(GLFW_KEY_LEFT);
    t = fly(h, t, 0.6);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(currentShip->cameraFlipped);
}

TEST_F(Flight, LeftHeldDuringARightTurnStartsRightAfterIt) {
    h.input.press(GLFW_KEY_RIGHT);
    h.frameAt(t += 1.0 / 60.0);
    h.input.release(GLFW_KEY_RIGHT);
    h.input.press(GLFW_KEY_LEFT);
    while (currentShip->turningRight) {
        EXPECT_FALSE(currentShip->turningLeft);
        h.frameAt(t += 1.0 / 60.0);
    }
    EXPECT_EQ(shipHeadingRow(), glm::vec3(1.0f, 0.0f, 0.0f));
    h.frameAt(t += 1.0 / 60.0);
    EXPECT_TRUE(currentShip->turningLeft);
    t = fly(h, t, 0.6);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(0.0f, 0.0f, 1.0f));
}

TEST_F(Flight, PitchIsRefusedAlongXAndYawWhileVertical) {
    h.input.press(GLFW_KEY_LEFT);
    t = fly(h, t, 0.6);
    h.input.release(GLFW_KEY_LEFT);
    h.input.press(GLFW_KEY_UP);
    h.input.press(GLFW_KEY_DOWN);
    t = fly(h, t, 0.2);
    EXPECT_FALSE(currentShip->turningUp);
    EXPECT_FALSE(currentShip->turningDown);
    h.input.releaseAll();
    h.input.press(GLFW_KEY_RIGHT);
    t = fly(h, t, 0.6);
    h.input.releaseAll();
    EXPECT_EQ(shipHeadingRow(), glm::vec3(0.0f, 0.0f, 1.0f));

    h.input.press(GLFW_KEY_UP);
    t = fly(h, t, 0.6);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(0.0f, 1.0f, 0.0f));
    h.input.release(GLFW_KEY_UP);
    h.input.press(GLFW_KEY_LEFT);
    h.input.press(GLFW_KEY_RIGHT);
    t = fly(h, t, 0.2);
    EXPECT_FALSE(currentShip->turningLeft);
    EXPECT_FALSE(currentShip->turningRight);
}

TEST_F(Flight, PitchingFromZClimbsOrSinksAndPitchingBackReturnsToZ) {
    h.input.press(GLFW_KEY_UP);
    t = fly(h, t, 0.6);
    h.input.release(GLFW_KEY_UP);
    glm::vec3 before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_GT(shipPosition().y, before.y + 10.0f);
    EXPECT_FLOAT_EQ(shipPosition().z, before.z);

    h.input.press(GLFW_KEY_DOWN);
    t = fly(h, t, 0.6);
    h.input.release(GLFW_KEY_DOWN);
    EXPECT_EQ(shipHeadingRow(), glm::vec3(0.0f, 0.0f, 1.0f));
    before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_LT(shipPosition().z, before.z - 10.0f);
    EXPECT_FLOAT_EQ(shipPosition().y, before.y);

    h.input.press(GLFW_KEY_DOWN);
    t = fly(h, t, 0.6);
    h.input.release(GLFW_KEY_DOWN);
    before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_LT(shipPosition().y, before.y - 10.0f);
}

TEST_F(Flight, SlidesMoveAcrossTheHeadingAndOpposingKeysCancel) {
    t = fly(h, t, 0.1);
    glm::vec3 before = shipPosition();
    h.input.press(GLFW_KEY_W);
    t = fly(h, t, 0.5);
    EXPECT_NEAR(shipPosition().y - before.y, 10.0f, 0.01f);
    h.input.press(GLFW_KEY_S);
    before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_FLOAT_EQ(shipPosition().y, before.y);
    h.input.releaseAll();

    before = shipPosition();
    h.input.press(GLFW_KEY_A);
    t = fly(h, t, 0.5);
    EXPECT_NEAR(shipPosition().x - before.x, -10.0f, 0.01f);
    h.input.press(GLFW_KEY_D);
    before = shipPosition();
    t = fly(h, t, 0.5);
    EXPECT_FLOAT_EQ(shipPosition().x, before.x);
}

TEST(FlightCrash, WithNoKeyTheShipCrashesIntoTheEndOfTheFirstTunnel) {
    GameHarness h;
    h.renderSmall();
    h.startPlaying(1.0);
    double t = 1.0;
    while (gameState == Playing && t < 8.0) {
        h.frameAt(t += 1.0 / 30.0);
    }
    EXPECT_EQ(gameState, Lost);
    // 82.2 units at 24 a second, less the ship's half length: a crash, not the clock.
    EXPECT_LT(t, 5.0);
    EXPECT_GT(h.game->timeLeft, 0);
}

TEST(FlightCrash, AfterACrashTheNextGameFliesTheSameWay) {
    GameHarness h;
    h.renderSmall();
    double t = 1.0;
    for (int game = 0; game < 2; ++game) {
        h.startPlaying(t);
        const double start = t;
        while (gameState == Playing && t < start + 8.0) {
            h.frameAt(t += 1.0 / 30.0);
        }
        EXPECT_EQ(gameState, Lost) << "game " << game;
        EXPECT_NEAR(t - start, 3.4, 0.3) << "game " << game;
        h.returnToIntro(t += 0.1);
    }
}
