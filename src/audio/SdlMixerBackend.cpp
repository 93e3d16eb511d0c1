#include "audio/SdlMixerBackend.h"

#include <SDL2/SDL.h>

namespace {

constexpr int outputChannels = 2;
constexpr int bufferSamples = 1024;
constexpr int playOnce = 0;
constexpr int loopForever = -1;
constexpr int anyFreeChannel = -1;

} // namespace

SdlMixerBackend::~SdlMixerBackend() {
    // Sounds must go before the device they were decoded for.
    streams.clear();
    samples.clear();
    if (deviceOpen) {
        Mix_CloseAudio();
    }
    if (systemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool SdlMixerBackend::createSystem() {
    systemStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return systemStarted;
}

bool SdlMixerBackend::init(int channels) {
    if (!systemStarted) {
        return false;
    }
    deviceOpen = Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, outputChannels,
                               bufferSamples) == 0;
    if (!deviceOpen) {
        return false;
    }
    channelCount = Mix_AllocateChannels(channels);
    return channelCount == channels;
}

bool SdlMixerBackend::createStream(const std::string& path, SoundHandle& sound) {
    sound = noSound;
    if (!deviceOpen) {
        return false;
    }
    MusicPtr music(Mix_LoadMUS(path.c_str()), Mix_FreeMusic);
    if (!music) {
        return false;
    }
    sound = nextSound++;
    streams.emplace(sound, std::move(music));
    return true;
}

bool SdlMixerBackend::createSample(const std::string& path, SoundHandle& sound) {
    sound = noSound;
    if (!deviceOpen) {
        return false;
    }
    ChunkPtr chunk(Mix_LoadWAV(path.c_str()), Mix_FreeChunk);
    if (!chunk) {
        return false;
    }
    sound = nextSound++;
    samples.emplace(sound, std::move(chunk));
    return true;
}

bool SdlMixerBackend::play(SoundHandle sound, ChannelHandle& channel) {
    channel = noChannel;
    if (const auto stream = streams.find(sound); stream != streams.end()) {
        return playMusic(stream->second.get(), channel);
    }
    if (const auto sample = samples.find(sound); sample != samples.end()) {
        return playSample(sample->second.get(), channel);
    }
    return false;
}

bool SdlMixerBackend::playMusic(Mix_Music* music, ChannelHandle& channel) {
    if (Mix_PlayMusic(music, playOnce) != 0) {
        return false;
    }
    currentMusic = music;
    channel = musicChannel;
    return true;
}

bool SdlMixerBackend::playSample(Mix_Chunk* chunk, ChannelHandle& channel) {
    const int mixerChannel = Mix_PlayChannel(anyFreeChannel, chunk, playOnce);
    if (mixerChannel < 0) {
        return false;
    }
    channel = mixerChannel + 1;
    return true;
}

// SDL_mixer fixes the loop count when playback starts, so looping restarts the
// music with an endless count. It is called right after the start, so nothing
// audible is lost.
bool SdlMixerBackend::setLooping(ChannelHandle channel) {
    if (channel != musicChannel || currentMusic == nullptr) {
        return false;
    }
    return Mix_PlayMusic(currentMusic, loopForever) == 0;
}

bool SdlMixerBackend::setPaused(ChannelHandle channel, bool paused) {
    if (channel == musicChannel && currentMusic != nullptr) {
        if (paused) {
            Mix_PauseMusic();
        } else {
            Mix_ResumeMusic();
        }
        return true;
    }
    if (isEffectChannel(channel)) {
        if (paused) {
            Mix_Pause(channel - 1);
        } else {
            Mix_Resume(channel - 1);
        }
        return true;
    }
    return false;
}

bool SdlMixerBackend::getPaused(ChannelHandle channel, bool& paused) {
    if (channel == musicChannel && currentMusic != nullptr) {
        paused = Mix_PausedMusic() != 0;
        return true;
    }
    if (isEffectChannel(channel)) {
        paused = Mix_Paused(channel - 1) != 0;
        return true;
    }
    return false;
}

// SDL_mixer mixes on its own audio thread and needs no per-frame work.
bool SdlMixerBackend::update() {
    return deviceOpen;
}

bool SdlMixerBackend::release(SoundHandle sound) {
    if (const auto stream = streams.find(sound); stream != streams.end()) {
        if (stream->second.get() == currentMusic) {
            currentMusic = nullptr;
        }
        streams.erase(stream);
        return true;
    }
    return samples.erase(sound) == 1;
}

bool SdlMixerBackend::isEffectChannel(ChannelHandle channel) const {
    return deviceOpen && channel >= 1 && channel <= channelCount;
}
