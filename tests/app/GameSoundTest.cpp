#include "audio/RecordingAudioBackend.h"
#include "audio/Sound.h"
#include "entities/Satellite.h"
#include "support/GameHarness.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

namespace {

// The real Game with every sound call recorded instead of played.
class GameSound : public ::testing::Test {
protected:
    GameSound() {
        resetSound();
        auto backend = std::make_unique<RecordingAudioBackend>();
        recorder = backend.get();
        setAudioBackend(std::move(backend));
        h = std::make_unique<GameHarness>();
    }
    ~GameSound() override {
        h.reset();
        resetSound();
    }

    std::vector<std::string> callsSince(std::size_t first) const {
        return {recorder->calls.begin() + static_cast<long>(first), recorder->calls.end()};
    }
    std::vector<std::string> plays() const {
        std::vector<std::string> found;
        std::copy_if(recorder->calls.begin(), recorder->calls.end(), std::back_inserter(found),
                     [](const std::string& call) { return call.rfind("play ", 0) == 0; });
        return found;
    }

    RecordingAudioBackend* recorder = nullptr;
    std::unique_ptr<GameHarness> h;
};

} // namespace

TEST_F(GameSound, WorldSetupStartsAndLoopsTheMusicOnlyWhenSoundIsOn) {
    EXPECT_TRUE(soundAvailable);
    std::size_t before = recorder->calls.size();
    h->startPlaying(1.0);
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"play Sounds/background.mp3", "setLooping channel 1"}));
    h->game->endGame();
    gameState = Intro;
    soundOn = false;
    before = recorder->calls.size();
    h->startPlaying(2.0);
    EXPECT_TRUE(callsSince(before).empty());
}

TEST_F(GameSound, EndingAGamePausesTheMusicWhateverTheFlags) {
    h->startPlaying(1.0);
    soundOn = false;
    std::size_t before = recorder->calls.size();
    h->game->crashed = true;
    h->frameAt(1.1);
    EXPECT_EQ(gameState, Lost);
    EXPECT_EQ(callsSince(before), std::vector<std::string>{"setPaused channel 1 true"});
}

TEST_F(GameSound, TimeUpAndAWinningScoreInOneFrameRequestDoomedThenWin) {
    h->startPlaying(1.0);
    h->game->hacks = 13;
    h->frameAt(61.0);
    EXPECT_EQ(gameState, Won);
    EXPECT_EQ(plays(), (std::vector<std::string>{"play Sounds/background.mp3",
                                                 "play Sounds/doomed.wav", "play Sounds/win.wav"}));
}

TEST_F(GameSound, HackingASatellitePlaysHackAndShutdownReleasesTheSixSounds) {
    h->startPlaying(1.0);
    Satellite* satellite = h->game->satelliteList[0];
    btTransform transform;
    satellite->motionState->getWorldTransform(transform);
    transform.setOrigin(btVector3(0.0f, 0.0f, 0.0f));
    satellite->motionState->setWorldTransform(transform);
    h->frameAt(1.05);
    EXPECT_EQ(h->game->hacks, 1);
    EXPECT_EQ(plays().back(), "play Sounds/hack.wav");
    std::size_t before = recorder->calls.size();
    h->game->shutDown();
    EXPECT_EQ(callsSince(before),
              (std::vector<std::string>{"release Sounds/background.mp3", "release Sounds/crash.wav",
                                        "release Sounds/hack.wav", "release Sounds/hit.wav",
                                        "release Sounds/doomed.wav", "release Sounds/win.wav"}));
}
