#include "audio/RecordingAudioBackend.h"
#include "audio/Sound.h"
#include "entities/Satellite.h"
#include "scene/App.h"
#include "scene/SceneObject.h"
#include "support/GameHarness.h"

#include <GL/glew.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The real game with sound recorded rather than played, since M reaches the music channel.
class KeyToggles : public ::testing::Test {
protected:
    KeyToggles() {
        resetSound();
        auto backend = std::make_unique<RecordingAudioBackend>();
        recorder = backend.get();
        setAudioBackend(std::move(backend));
        h = std::make_unique<GameHarness>();
        h->renderSmall();
    }
    ~KeyToggles() override {
        h.reset();
        // soundOn is program-wide, so later tests must not inherit a flipped one.
        resetSound();
    }

    // One frame with the key held, then one with it released, returning what was printed.
    std::string tap(int key, double seconds) {
        testing::internal::CaptureStdout();
        h->input.press(key);
        h->frameAt(seconds);
        h->input.release(key);
        h->frameAt(seconds + 0.01);
        return testing::internal::GetCapturedStdout();
    }

    std::vector<std::string> callsSince(std::size_t first) const {
        return {recorder->calls.begin() + static_cast<long>(first), recorder->calls.end()};
    }

    Game& game() { return *h->game; }

    RecordingAudioBackend* recorder = nullptr;
    std::unique_ptr<GameHarness> h;
};

GLint polygonMode() {
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0];
}

struct Filters {
    GLint magnification;
    GLint minification;
};

Filters diffuseFilters(const SceneObject& object) {
    Filters filters{};
    glBindTexture(GL_TEXTURE_2D, object.diffuseTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters.magnification);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters.minification);
    return filters;
}

// The world objects that carry a diffuse texture.
std::vector<const SceneObject*> texturedObjects(const Game& game) {
    std::vector<const SceneObject*> found;
    for (App* object : game.objects) {
        auto* scene = dynamic_cast<const SceneObject*>(object);
        if (scene && scene->diffuseTexture != 0) {
            found.push_back(scene);
        }
    }
    return found;
}

void expectEveryTexture(const Game& game, GLint magnification, GLint minification) {
    const std::vector<const SceneObject*> textured = texturedObjects(game);
    ASSERT_FALSE(textured.empty());
    for (const SceneObject* object : textured) {
        Filters filters = diffuseFilters(*object);
        EXPECT_EQ(filters.magnification, magnification);
        EXPECT_EQ(filters.minification, minification);
    }
}

// Toggle messages only: the HUD may add a statistics line per frame once FPS is shown.
std::vector<std::string> toggleMessages(const std::string& printed) {
    std::vector<std::string> lines;
    std::istringstream stream(printed);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("FPS:", 0) != 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

} // namespace

TEST_F(KeyToggles, HoldingF3TogglesWireframeOnceAndEndGameResetsIt) {
    h->startPlaying(1.0);
    testing::internal::CaptureStdout();
    h->input.press(GLFW_KEY_F3);
    for (int frame = 1; frame <= 10; ++frame) {
        h->frameAt(1.0 + 0.05 * frame);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wireframe Mode: on\n");
    EXPECT_TRUE(game().wireframe);
    EXPECT_EQ(polygonMode(), GL_LINE);

    h->input.release(GLFW_KEY_F3);
    h->frameAt(1.6);
    EXPECT_TRUE(game().wireframe);
    EXPECT_EQ(tap(GLFW_KEY_F3, 1.7), "Wireframe Mode: off\n");
    EXPECT_FALSE(game().wireframe);
    EXPECT_EQ(polygonMode(), GL_FILL);

    EXPECT_EQ(tap(GLFW_KEY_F3, 1.8), "Wireframe Mode: on\n");
    game().endGame();
    EXPECT_FALSE(game().wireframe);
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(KeyToggles, F4AtStartSwitchesEveryTextureToNearestSampling) {
    h->startPlaying(1.0);
    EXPECT_EQ(tap(GLFW_KEY_F4, 1.1), "TSQ: Linear\n");
    EXPECT_FALSE(game().bilinear);
    expectEveryTexture(game(), GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(tap(GLFW_KEY_F4, 1.2), "TSQ: Bilinear\n");
    EXPECT_TRUE(game().bilinear);
    expectEveryTexture(game(), GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(KeyToggles, F5AtStartSwitchesEveryTextureToNearestMipSelection) {
    h->startPlaying(1.0);
    EXPECT_EQ(tap(GLFW_KEY_F5, 1.1), "Mipmap Mode: Nearest Neighbor\n");
    EXPECT_EQ(game().mipmapMode, 1);
    expectEveryTexture(game(), GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST);
    ASSERT_FALSE(game().satelliteList.empty());
    Filters satellite = diffuseFilters(*game().satelliteList[0]);
    EXPECT_EQ(satellite.minification, GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(KeyToggles, F5ThreeTimesCyclesBackToLinearMipBlending) {
    h->startPlaying(1.0);
    std::string printed = tap(GLFW_KEY_F5, 1.1);
    EXPECT_EQ(game().mipmapMode, 1);
    printed += tap(GLFW_KEY_F5, 1.2);
    EXPECT_EQ(game().mipmapMode, 2);
    expectEveryTexture(game(), GL_LINEAR, GL_LINEAR);
    printed += tap(GLFW_KEY_F5, 1.3);
    EXPECT_EQ(game().mipmapMode, 0);
    EXPECT_EQ(printed, "Mipmap Mode: Nearest Neighbor\nMipmap Mode: off\nMipmap Mode: Linear\n");
    expectEveryTexture(game(), GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(KeyToggles, F1PausesWithZeroFrameTimeAndResumingKeepsTheTimeLeft) {
    h->startPlaying(1.0);
    h->frameAt(1.1);
    const std::int32_t timeLeftBefore = game().timeLeft;

    EXPECT_EQ(tap(GLFW_KEY_F1, 1.2), "Game paused!\n");
    EXPECT_TRUE(game().paused);
    h->frameAt(5.0);
    EXPECT_EQ(game().deltaTime, 0.0f);
    h->frameAt(11.0);
    EXPECT_EQ(game().deltaTime, 0.0f);
    EXPECT_EQ(game().timeLeft, timeLeftBefore);

    EXPECT_EQ(tap(GLFW_KEY_F1, 11.2), "Game running!\n");
    EXPECT_FALSE(game().paused);
    EXPECT_GT(game().deltaTime, 0.0f);
    EXPECT_EQ(gameState, Playing);
    EXPECT_NEAR(game().timeLeft, timeLeftBefore, 1);
}

TEST_F(KeyToggles, KeysPressedTogetherAllActInTheirFixedOrder) {
    h->startPlaying(1.0);
    const std::size_t before = recorder->calls.size();
    for (int key : {GLFW_KEY_F9, GLFW_KEY_F8, GLFW_KEY_F5, GLFW_KEY_F4, GLFW_KEY_F3, GLFW_KEY_F2,
                    GLFW_KEY_F1, GLFW_KEY_Z, GLFW_KEY_B, GLFW_KEY_M}) {
        h->input.press(key);
    }
    testing::internal::CaptureStdout();
    h->frameAt(1.2);
    // Paused in its very first frame, the game still has its full time.
    EXPECT_EQ(gameState, Playing);
    EXPECT_EQ(game().timeLeft, 15);
    EXPECT_EQ(toggleMessages(testing::internal::GetCapturedStdout()),
              (std::vector<std::string>{"Bloom: on", "Render depth map to screen: on!",
                                        "Game paused!", "Show FPS: on", "Wireframe Mode: on",
                                        "TSQ: Linear", "Mipmap Mode: Nearest Neighbor",
                                        "View Frustum Culling: off", "Transparency: off"}));
    EXPECT_FALSE(soundOn);
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"getPaused channel 1", "setPaused channel 1 true"}));
    EXPECT_TRUE(game().depthMapView);
    EXPECT_TRUE(game().paused);
    EXPECT_TRUE(game().showFps);
    EXPECT_TRUE(game().wireframe);
    EXPECT_FALSE(game().frustumCulling);
    EXPECT_FALSE(game().transparency);
    // No hit started a flash, so the frame that switched it on also ended it.
    EXPECT_FALSE(game().flash);
}

TEST_F(KeyToggles, MFlipsSoundAndTheMusicPauseState) {
    h->startPlaying(1.0);
    ASSERT_TRUE(soundOn);
    std::size_t before = recorder->calls.size();
    EXPECT_EQ(tap(GLFW_KEY_M, 1.1), "");
    EXPECT_FALSE(soundOn);
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"getPaused channel 1", "setPaused channel 1 true"}));

    before = recorder->calls.size();
    tap(GLFW_KEY_M, 1.2);
    EXPECT_TRUE(soundOn);
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"getPaused channel 1", "setPaused channel 1 false"}));
}

TEST_F(KeyToggles, BClearsARunningFlashAndSwitchesOneOnOtherwise) {
    h->startPlaying(1.0);
    game().startFlash(1.05);
    EXPECT_EQ(tap(GLFW_KEY_B, 1.1), "Bloom: off\n");
    EXPECT_FALSE(game().flash);
    EXPECT_EQ(tap(GLFW_KEY_B, 1.2), "Bloom: on\n");
}

TEST_F(KeyToggles, EachPlainSwitchReportsBothStates) {
    h->startPlaying(1.0);
    std::string printed;
    double now = 1.1;
    for (int key : {GLFW_KEY_Z, GLFW_KEY_F2, GLFW_KEY_F8, GLFW_KEY_F9}) {
        printed += tap(key, now);
        printed += tap(key, now + 0.05);
        now += 0.1;
    }
    EXPECT_EQ(toggleMessages(printed),
              (std::vector<std::string>{
                  "Render depth map to screen: on!", "Render depth map to screen: off!",
                  "Show FPS: on", "Show FPS: off", "View Frustum Culling: off",
                  "View Frustum Culling: on", "Transparency: off", "Transparency: on"}));
    EXPECT_FALSE(game().depthMapView);
    EXPECT_FALSE(game().showFps);
    EXPECT_TRUE(game().frustumCulling);
    EXPECT_TRUE(game().transparency);
}

TEST_F(KeyToggles, KeysDoNothingOutsideAPlayingFrame) {
    EXPECT_EQ(tap(GLFW_KEY_F3, 0.5), "");
    EXPECT_FALSE(game().wireframe);
    EXPECT_TRUE(std::all_of(game().keyLatch.begin(), game().keyLatch.end(),
                            [](bool latched) { return !latched; }));
}
