#include "app/Game.h"
#include "scene/App.h"
#include "support/GameHarness.h"

#include <btBulletDynamicsCommon.h>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A world object that records what the frame loop does to it.
struct ProbeObject : App {
    explicit ProbeObject(Game* game, bool erasesItself = false)
        : game(game), erasesItself(erasesItself) {}
    ~ProbeObject() override { removalsWhenDestroyed->push_back(removals); }

    void init() override {
        if (onInit) {
            onInit();
        }
        initialised = true;
    }
    void update(double deltaSeconds) override { updates.push_back(deltaSeconds); }
    void removeFromWorld() override {
        ++removals;
        if (erasesItself) {
            game->eraseObject(this);
        }
    }

    Game* game;
    bool erasesItself;
    std::function<void()> onInit;
    std::vector<double> updates;
    int removals = 0;
    std::shared_ptr<std::vector<int>> removalsWhenDestroyed = std::make_shared<std::vector<int>>();
};

// Records the time step of every physics step.
struct StepRecorder : btActionInterface {
    void updateAction(btCollisionWorld*, btScalar step) override { steps.push_back(step); }
    void debugDraw(btIDebugDraw*) override {}
    std::vector<float> steps;
};

ProbeObject* addProbe(Game& game, bool erasesItself = false) {
    auto probe = std::make_unique<ProbeObject>(&game, erasesItself);
    ProbeObject* raw = probe.get();
    game.addObject(std::move(probe));
    return raw;
}

} // namespace

TEST(GameLoop, StartsOnTheIntroWithTheInitialFields) {
    GameHarness h;
    EXPECT_EQ(gameState, Intro);
    EXPECT_EQ(h.game->lives, 3);
    EXPECT_EQ(h.game->timeLimit, 30);
    EXPECT_TRUE(h.game->running);
    EXPECT_EQ(h.game->width, 1280);
    EXPECT_EQ(h.game->height, 720);
    h.frameAt(0.5);
    EXPECT_EQ(gameState, Intro);
    EXPECT_FLOAT_EQ(h.game->lastFrameTime, 0.5f);
}

TEST(GameLoop, SpaceShowsLoadingAndSkipsTheEndOfThatFrame) {
    GameHarness h;
    h.input.press(GLFW_KEY_SPACE);
    h.input.press(GLFW_KEY_ESCAPE);
    h.frameAt(2.0);
    EXPECT_EQ(gameState, Loading);
    EXPECT_EQ(h.game->lastFrameTime, 0.0f);
    EXPECT_TRUE(h.game->running);
}

TEST(GameLoop, FirstPlayingFrameSpansTheLoadingTime) {
    GameHarness h;
    ProbeObject* probe = addProbe(*h.game);
    probe->onInit = [&] { h.input.now += 3.0; };
    h.startPlaying(2.0);
    EXPECT_EQ(gameState, Playing);
    EXPECT_FLOAT_EQ(h.game->lastFrameTime, 2.0f);
    EXPECT_EQ(h.game->startSecond, 5);
    EXPECT_EQ(h.game->lives, 3);
    EXPECT_EQ(h.game->timeLimit, 15);
    h.frameAt(5.5);
    EXPECT_FLOAT_EQ(h.game->deltaTime, 3.5f);
    ASSERT_EQ(probe->updates.size(), 1u);
    EXPECT_FLOAT_EQ(static_cast<float>(probe->updates[0]), 3.5f);
    EXPECT_EQ(h.game->score, 0);
    EXPECT_EQ(h.game->timeLeft, 14);
}

TEST(GameLoop, EscapeEndsTheProgramFromEveryState) {
    for (GameState state : {Intro, Loading, Playing, Won, Lost}) {
        GameHarness h;
        if (state == Playing) {
            h.startPlaying(1.0);
        } else {
            gameState = state;
        }
        h.input.press(GLFW_KEY_ESCAPE);
        h.frameAt(1.5);
        EXPECT_FALSE(h.game->running) << "state " << state;
        EXPECT_FALSE(h.game->keepsRunning());
    }
}

TEST(GameLoop, EnterOnTheEndPicturesReturnsToTheIntro) {
    for (GameState state : {Won, Lost}) {
        GameHarness h;
        gameState = state;
        h.frameAt(1.0);
        EXPECT_EQ(gameState, state);
        h.input.press(GLFW_KEY_ENTER);
        h.frameAt(1.1);
        EXPECT_EQ(gameState, Intro);
    }
}

TEST(GameLoop, TimeRunningOutEndsAsLost) {
    GameHarness h;
    h.startPlaying(1.0);
    h.frameAt(10.0);
    EXPECT_EQ(gameState, Playing);
    EXPECT_EQ(h.game->timeLeft, 6);
    h.frameAt(16.1);
    EXPECT_EQ(gameState, Lost);
}

TEST(GameLoop, GameEndRulesRunInOrderAndTheLastDecides) {
    GameHarness h;
    h.startPlaying(1.0);
    // 13 hacks and a minute of play: the score passes 1000 as the time runs out.
    h.game->hacks = 13;
    h.frameAt(61.0);
    EXPECT_EQ(h.game->score, 1035);
    EXPECT_LE(h.game->timeLeft, 0);
    EXPECT_EQ(gameState, Won);

    h.returnToIntro(61.5);
    h.startPlaying(62.0);
    h.game->crashed = true;
    h.frameAt(62.5);
    EXPECT_EQ(h.game->lives, 3);
    EXPECT_EQ(gameState, Lost);

    h.returnToIntro(62.8);
    h.startPlaying(63.0);
    h.game->lives = 0;
    h.frameAt(63.5);
    EXPECT_EQ(gameState, Lost);
}

TEST(GameLoop, APausedGameGivesNoTimeToPhysicsOrUpdates) {
    GameHarness h;
    ProbeObject* probe = addProbe(*h.game);
    h.startPlaying(1.0);
    StepRecorder recorder;
    h.game->dynamicsWorld->addAction(&recorder);
    h.frameAt(1.25);
    h.game->paused = true;
    h.frameAt(1.5);
    h.frameAt(2.0);
    h.game->dynamicsWorld->removeAction(&recorder);
    EXPECT_EQ(recorder.steps, std::vector<float>{0.25f});
    EXPECT_EQ(probe->updates, (std::vector<double>{0.25, 0.0, 0.0}));
    EXPECT_EQ(gameState, Playing);
}

TEST(GameLoop, EndGameRemovesAndDestroysEveryObjectOnceAndIsHarmlessTwice) {
    GameHarness h;
    std::vector<std::shared_ptr<std::vector<int>>> logs;
    for (int i = 0; i < 4; ++i) {
        logs.push_back(addProbe(*h.game, i % 2 == 0)->removalsWhenDestroyed);
    }
    h.game->wireframe = true;
    h.game->endGame();
    h.game->endGame();
    EXPECT_TRUE(h.game->objects.empty());
    EXPECT_FALSE(h.game->wireframe);
    for (const auto& log : logs) {
        EXPECT_EQ(*log, std::vector<int>{1});
    }
}

TEST(GameLoop, ShutdownCallsRemoveFromWorldOnceEvenWhenObjectsEraseThemselves) {
    GameHarness h;
    std::vector<std::shared_ptr<std::vector<int>>> logs;
    for (int i = 0; i < 5; ++i) {
        logs.push_back(addProbe(*h.game, i != 2)->removalsWhenDestroyed);
    }
    h.game->shutDown();
    for (const auto& log : logs) {
        EXPECT_EQ(*log, std::vector<int>{1});
    }
}
