#include "audio/Sound.h"

#include "audio/AudioBackend.h"
#include "audio/SdlMixerBackend.h"

bool soundAvailable = true;
bool soundOn = true;

namespace {

constexpr int channelCount = 32;

std::unique_ptr<AudioBackend> audio;
SoundHandle backgroundSound = noSound;
SoundHandle crashSound = noSound;
SoundHandle hitSound = noSound;
SoundHandle hackSound = noSound;
SoundHandle doomedSound = noSound;
SoundHandle winSound = noSound;
ChannelHandle musicChannel = noChannel;

AudioBackend& backend() {
    if (!audio) {
        audio = std::make_unique<SdlMixerBackend>();
    }
    return *audio;
}

// Effect results are deliberately unchecked: a missing effect leaves its
// handle empty and only that effect stays silent.
void loadEffects() {
    backend().createSample("Sounds/crash.wav", crashSound);
    backend().createSample("Sounds/hit.wav", hitSound);
    backend().createSample("Sounds/hack.wav", hackSound);
    backend().createSample("Sounds/doomed.wav", doomedSound);
    backend().createSample("Sounds/win.wav", winSound);
}

const SoundHandle* effectNamed(const std::string& name) {
    if (name == "crash") {
        return &crashSound;
    }
    if (name == "hit") {
        return &hitSound;
    }
    if (name == "hack") {
        return &hackSound;
    }
    if (name == "doomed") {
        return &doomedSound;
    }
    if (name == "win") {
        return &winSound;
    }
    return nullptr;
}

} // namespace

void initSound() {
    if (!backend().createSystem()) {
        soundAvailable = false;
    } else if (!backend().init(channelCount)) {
        soundAvailable = false;
    }
    if (!soundAvailable || !soundOn) {
        return;
    }
    const bool musicOpened = backend().createStream("Sounds/background.mp3", backgroundSound);
    loadEffects();
    if (!musicOpened) {
        soundAvailable = false;
    }
}

void playSound(const std::string& name) {
    if (!soundAvailable || !soundOn) {
        return;
    }
    if (const SoundHandle* effect = effectNamed(name)) {
        ChannelHandle effectChannel = noChannel;
        backend().play(*effect, effectChannel);
    }
    backend().update();
}

void startMusic() {
    if (!soundAvailable || !soundOn) {
        return;
    }
    backend().play(backgroundSound, musicChannel);
    backend().setLooping(musicChannel);
}

void pauseMusic() {
    backend().setPaused(musicChannel, true);
}

void flipMusicPause() {
    bool paused = false;
    backend().getPaused(musicChannel, paused);
    backend().setPaused(musicChannel, !paused);
}

// The system itself stays open until the process ends.
void releaseSounds() {
    if (!soundAvailable) {
        return;
    }
    backend().release(backgroundSound);
    backend().release(crashSound);
    backend().release(hackSound);
    backend().release(hitSound);
    backend().release(doomedSound);
    backend().release(winSound);
}

void setAudioBackend(std::unique_ptr<AudioBackend> backend) {
    audio = std::move(backend);
}

void resetSound() {
    soundAvailable = true;
    soundOn = true;
    audio.reset();
    backgroundSound = noSound;
    crashSound = noSound;
    hitSound = noSound;
    hackSound = noSound;
    doomedSound = noSound;
    winSound = noSound;
    musicChannel = noChannel;
}
