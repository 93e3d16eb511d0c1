#include "audio/Sound.h"
#include "support/DataDirectory.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> effectNames = {"crash", "hit", "hack", "doomed", "win"};

fs::path dataSounds() {
    return fs::path(VELMORA_DATA_DIR) / "Sounds";
}

std::vector<std::string> soundFiles() {
    std::vector<std::string> files = {"background.mp3"};
    for (const std::string& name : effectNames) {
        files.push_back(name + ".wav");
    }
    return files;
}

bool dataSoundsPresent() {
    for (const std::string& file : soundFiles()) {
        if (!fs::exists(dataSounds() / file)) {
            return false;
        }
    }
    return true;
}

void appendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// Half a second of a 440 Hz tone: 16-bit mono PCM at 22050 Hz.
std::string toneWav() {
    constexpr std::uint32_t rate = 22050;
    constexpr std::uint32_t samples = rate / 2;
    std::string bytes = "RIFF";
    appendLittleEndian(bytes, 36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    appendLittleEndian(bytes, 16, 4);
    appendLittleEndian(bytes, 1, 2);
    appendLittleEndian(bytes, 1, 2);
    appendLittleEndian(bytes, rate, 4);
    appendLittleEndian(bytes, rate * 2, 4);
    appendLittleEndian(bytes, 2, 2);
    appendLittleEndian(bytes, 16, 2);
    bytes += "data";
    appendLittleEndian(bytes, samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double wave = std::sin(2.0 * std::numbers::pi * 440.0 * i / rate);
        appendLittleEndian(bytes,
                           static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * wave)), 2);
    }
    return bytes;
}

// About a second of silence as MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz,
// mono): a frame header followed by empty side information and data.
std::string silentMp3() {
    constexpr int frameBytes = 417;
    constexpr int frames = 40;
    const std::string header = "\xFF\xFB\x90\xC0";
    std::string bytes;
    for (int i = 0; i < frames; ++i) {
        bytes += header + std::string(frameBytes - header.size(), '\0');
    }
    return bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Fills the folder's Sounds/ with the game's sounds, or with stand-ins while
// those are not made yet, leaving out `omitted`.
void provideSounds(const ScratchDirectory& folder, const std::string& omitted) {
    const bool useData = dataSoundsPresent();
    for (const std::string& file : soundFiles()) {
        if (file == omitted) {
            continue;
        }
        const std::string standIn = file == "background.mp3" ? silentMp3() : toneWav();
        folder.write("Sounds/" + file, useData ? readFile(dataSounds() / file) : standIn);
    }
}

class SdlSound : public testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        resetSound();
    }

    void TearDown() override {
        resetSound();
        unsetenv("SDL_AUDIODRIVER");
    }

    // Starts sound from a folder whose Sounds/ lacks `omitted`.
    void startSoundWithout(const std::string& omitted) {
        provideSounds(folder, omitted);
        WorkingDirectory inFolder(folder.path());
        initSound();
    }

    ScratchDirectory folder;
};

TEST_F(SdlSound, MusicAndEveryEffectLoadFromTheDataFolderAndPlay) {
    if (dataSoundsPresent()) {
        WorkingDirectory inData(VELMORA_DATA_DIR);
        initSound();
    } else {
        startSoundWithout("");
    }
    ASSERT_TRUE(soundAvailable);
    startMusic();
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(Mix_PausedMusic(), 0);
    for (std::size_t i = 0; i < effectNames.size(); ++i) {
        playSound(effectNames[i]);
        EXPECT_EQ(Mix_Playing(-1), static_cast<int>(i + 1)) << effectNames[i];
    }
}

TEST_F(SdlSound, MissingMusicDisablesEverything) {
    startSoundWithout("background.mp3");
    EXPECT_FALSE(soundAvailable);
    startMusic();
    for (const std::string& name : effectNames) {
        playSound(name);
    }
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SdlSound, MissingHitSilencesOnlyHit) {
    startSoundWithout("hit.wav");
    ASSERT_TRUE(soundAvailable);
    playSound("hit");
    EXPECT_EQ(Mix_Playing(-1), 0);
    playSound("crash");
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SdlSound, NoAudioDriverMeansSilence) {
    setenv("SDL_AUDIODRIVER", "velmora-no-such-driver", 1);
    startSoundWithout("");
    EXPECT_FALSE(soundAvailable);
    startMusic();
    playSound("win");
    pauseMusic();
    flipMusicPause();
    releaseSounds();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlSound, PauseAndFlipHoldTheMusicAndANewStartPlaysAgain) {
    startSoundWithout("");
    ASSERT_TRUE(soundAvailable);
    startMusic();
    ASSERT_EQ(Mix_PlayingMusic(), 1);
    pauseMusic();
    EXPECT_EQ(Mix_PausedMusic(), 1);
    flipMusicPause();
    EXPECT_EQ(Mix_PausedMusic(), 0);
    flipMusicPause();
    EXPECT_EQ(Mix_PausedMusic(), 1);
    startMusic();
    EXPECT_EQ(Mix_PausedMusic(), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
}

TEST_F(SdlSound, MusicKeepsPlayingPastItsEnd) {
    folder.write("Sounds/background.mp3", silentMp3());
    {
        WorkingDirectory inFolder(folder.path());
        initSound();
    }
    ASSERT_TRUE(soundAvailable);
    startMusic();
    ASSERT_EQ(Mix_PlayingMusic(), 1);
    SDL_Delay(1500);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
}

TEST_F(SdlSound, ReleaseStopsTheMusic) {
    startSoundWithout("");
    ASSERT_TRUE(soundAvailable);
    startMusic();
    ASSERT_EQ(Mix_PlayingMusic(), 1);
    releaseSounds();
    EXPECT_EQ(Mix_PlayingMusic(), 0);
}

} // namespace
