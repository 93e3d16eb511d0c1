#pragma once

#include "audio/AudioBackend.h"

#include <SDL2/SDL_mixer.h>

#include <map>
#include <memory>

// The audio layer over SDL_mixer. Music is SDL_mixer's single music stream,
// reached through one fixed channel handle; effects play on the mixer's own
// channels, numbered from 1 here so that 0 can mean none.
class SdlMixerBackend : public AudioBackend {
  public:
    SdlMixerBackend() = default;
    SdlMixerBackend(const SdlMixerBackend&) = delete;
    SdlMixerBackend& operator=(const SdlMixerBackend&) = delete;
    ~SdlMixerBackend() override;

    bool createSystem() override;
    bool init(int channels) override;
    bool createStream(const std::string& path, SoundHandle& sound) override;
    bool createSample(const std::string& path, SoundHandle& sound) override;
    bool play(SoundHandle sound, ChannelHandle& channel) override;
    bool setLooping(ChannelHandle channel) override;
    bool setPaused(ChannelHandle channel, bool paused) override;
    bool getPaused(ChannelHandle channel, bool& paused) override;
    bool update() override;
    bool release(SoundHandle sound) override;

    static constexpr ChannelHandle musicChannel = -1;

  private:
    using MusicPtr = std::unique_ptr<Mix_Music, void (*)(Mix_Music*)>;
    using ChunkPtr = std::unique_ptr<Mix_Chunk, void (*)(Mix_Chunk*)>;

    bool playMusic(Mix_Music* music, ChannelHandle& channel);
    bool playSample(Mix_Chunk* chunk, ChannelHandle& channel);
    bool isEffectChannel(ChannelHandle channel) const;

    bool systemStarted = false;
    bool deviceOpen = false;
    int channelCount = 0;
    SoundHandle nextSound = noSound + 1;
    std::map<SoundHandle, MusicPtr> streams;
    std::map<SoundHandle, ChunkPtr> samples;
    Mix_Music* currentMusic = nullptr;
};
