#include "audio/AudioBackend.h"
#include "audio/RecordingAudioBackend.h"
#include "audio/Sound.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const Calls loadCalls = {
    "createStream Sounds/background.mp3", "createSample Sounds/crash.wav",
    "createSample Sounds/hit.wav",        "createSample Sounds/hack.wav",
    "createSample Sounds/doomed.wav",     "createSample Sounds/win.wav",
};

class SoundModuleTest : public testing::Test {
  protected:
    void SetUp() override {
        resetSound();
        auto recording = std::make_unique<RecordingAudioBackend>();
        backend = recording.get();
        setAudioBackend(std::move(recording));
    }

    void TearDown() override { resetSound(); }

    // Starts sound and forgets the start-up calls, so a test sees only its own.
    void startSound() {
        initSound();
        backend->calls.clear();
    }

    Calls startupCalls() const {
        Calls calls = {"createSystem", "init 32"};
        calls.insert(calls.end(), loadCalls.begin(), loadCalls.end());
        return calls;
    }

    RecordingAudioBackend* backend = nullptr;
};

using SoundStartup = SoundModuleTest;

TEST_F(SoundStartup, CreatesInitialisesAndLoadsTheSixSoundsInOrder) {
    initSound();
    EXPECT_EQ(backend->calls, startupCalls());
    EXPECT_TRUE(soundAvailable);
}

TEST_F(SoundStartup, FailedSystemCreationSkipsEverythingElse) {
    backend->failing = {"createSystem"};
    initSound();
    EXPECT_EQ(backend->calls, Calls{"createSystem"});
    EXPECT_FALSE(soundAvailable);
}

TEST_F(SoundStartup, FailedInitialisationLoadsNothing) {
    backend->failing = {"init"};
    initSound();
    EXPECT_EQ(backend->calls, (Calls{"createSystem", "init 32"}));
    EXPECT_FALSE(soundAvailable);
}

TEST_F(SoundStartup, FailedMusicStreamStillLoadsEffectsButDisablesSound) {
    backend->failing = {"createStream"};
    initSound();
    EXPECT_EQ(backend->calls, startupCalls());
    EXPECT_FALSE(soundAvailable);
}

TEST_F(SoundStartup, FailedEffectKeepsSoundAvailable) {
    backend->failing = {"createSample Sounds/hit.wav"};
    initSound();
    EXPECT_EQ(backend->calls, startupCalls());
    EXPECT_TRUE(soundAvailable);
}

TEST_F(SoundStartup, ResetRestoresTheStartValues) {
    soundOn = false;
    backend->failing = {"createSystem"};
    initSound();
    resetSound();
    EXPECT_TRUE(soundAvailable);
    EXPECT_TRUE(soundOn);
}

using SoundEffects = SoundModuleTest;

TEST_F(SoundEffects, EachNamePlaysItsOwnSoundThenUpdates) {
    startSound();
    for (const std::string name : {"crash", "hit", "hack", "doomed", "win"}) {
        playSound(name);
    }
    EXPECT_EQ(backend->calls,
              (Calls{"play Sounds/crash.wav", "update", "play Sounds/hit.wav", "update",
                     "play Sounds/hack.wav", "update", "play Sounds/doomed.wav", "update",
                     "play Sounds/win.wav", "update"}));
}

TEST_F(SoundEffects, SoundSwitchedOffDoesNothingAndDoesNotUpdate) {
    startSound();
    soundOn = false;
    playSound("hit");
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(SoundEffects, SoundUnavailableDoesNothingAndDoesNotUpdate) {
    backend->failing = {"createStream"};
    startSound();
    playSound("hack");
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(SoundEffects, UnknownNamePlaysNothingButUpdates) {
    startSound();
    playSound("bang");
    EXPECT_EQ(backend->calls, Calls{"update"});
}

TEST_F(SoundEffects, MissingEffectIsAttemptedAndIgnored) {
    backend->failing = {"createSample Sounds/hit.wav"};
    startSound();
    playSound("hit");
    playSound("win");
    EXPECT_EQ(backend->calls, (Calls{"play none", "update", "play Sounds/win.wav", "update"}));
}

using SoundMusic = SoundModuleTest;

TEST_F(SoundMusic, StartPlaysTheMusicThenLoopsItsChannel) {
    startSound();
    startMusic();
    EXPECT_EQ(backend->calls, (Calls{"play Sounds/background.mp3", "setLooping channel 1"}));
}

TEST_F(SoundMusic, StartDoesNothingWithSoundSwitchedOff) {
    startSound();
    soundOn = false;
    startMusic();
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(SoundMusic, StartDoesNothingWithSoundUnavailable) {
    backend->failing = {"init"};
    startSound();
    startMusic();
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(SoundMusic, EachStartUsesANewChannel) {
    startSound();
    startMusic();
    pauseMusic();
    startMusic();
    pauseMusic();
    EXPECT_EQ(backend->calls, (Calls{"play Sounds/background.mp3", "setLooping channel 1",
                                     "setPaused channel 1 true", "play Sounds/background.mp3",
                                     "setLooping channel 2", "setPaused channel 2 true"}));
}

TEST_F(SoundMusic, PauseWorksWhateverTheFlags) {
    startSound();
    startMusic();
    backend->calls.clear();
    soundOn = false;
    pauseMusic();
    soundAvailable = false;
    pauseMusic();
    EXPECT_EQ(backend->calls, (Calls{"setPaused channel 1 true", "setPaused channel 1 true"}));
}

TEST_F(SoundMusic, PauseBeforeAnyMusicTargetsNoChannel) {
    backend->failing = {"createSystem"};
    startSound();
    pauseMusic();
    EXPECT_EQ(backend->calls, Calls{"setPaused none true"});
}

TEST_F(SoundMusic, FlipReadsThePauseStateThenSetsTheOpposite) {
    startSound();
    startMusic();
    backend->calls.clear();
    flipMusicPause();
    flipMusicPause();
    EXPECT_EQ(backend->calls, (Calls{"getPaused channel 1", "setPaused channel 1 true",
                                     "getPaused channel 1", "setPaused channel 1 false"}));
    EXPECT_FALSE(backend->musicPaused);
}

TEST_F(SoundMusic, FlipResumesPausedMusicWhateverTheFlags) {
    startSound();
    startMusic();
    pauseMusic();
    backend->calls.clear();
    soundOn = false;
    flipMusicPause();
    EXPECT_EQ(backend->calls, (Calls{"getPaused channel 1", "setPaused channel 1 false"}));
}

using SoundShutdown = SoundModuleTest;

TEST_F(SoundShutdown, ReleasesTheSixSoundsInOrder) {
    startSound();
    releaseSounds();
    EXPECT_EQ(backend->calls, (Calls{"release Sounds/background.mp3", "release Sounds/crash.wav",
                                     "release Sounds/hack.wav", "release Sounds/hit.wav",
                                     "release Sounds/doomed.wav", "release Sounds/win.wav"}));
}

TEST_F(SoundShutdown, ReleasesEvenWithSoundSwitchedOff) {
    startSound();
    soundOn = false;
    releaseSounds();
    EXPECT_EQ(backend->calls.size(), 6u);
}

TEST_F(SoundShutdown, ReleasesNothingWhenSoundIsUnavailable) {
    backend->failing = {"createStream"};
    startSound();
    releaseSounds();
    EXPECT_TRUE(backend->calls.empty());
}

} // namespace
