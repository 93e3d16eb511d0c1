#pragma once

#include <string>

// Handles are small numbers handed out by the backend; 0 stands for none, the
// value every handle has before anything was loaded or played.
using SoundHandle = int;
using ChannelHandle = int;
inline constexpr SoundHandle noSound = 0;
inline constexpr ChannelHandle noChannel = 0;

// The few operations the sound module needs from an audio library. Every
// operation reports success; the module decides which results matter.
class AudioBackend {
  public:
    virtual ~AudioBackend() = default;

    virtual bool createSystem() = 0;
    virtual bool init(int channels) = 0;
    // A stream is decoded while it plays (music); a sample is decoded at load (effects).
    virtual bool createStream(const std::string& path, SoundHandle& sound) = 0;
    virtual bool createSample(const std::string& path, SoundHandle& sound) = 0;
    // Plays on a free channel, unpaused, and writes that channel (noChannel on failure).
    virtual bool play(SoundHandle sound, ChannelHandle& channel) = 0;
    virtual bool setLooping(ChannelHandle channel) = 0;
    virtual bool setPaused(ChannelHandle channel, bool paused) = 0;
    virtual bool getPaused(ChannelHandle channel, bool& paused) = 0;
    virtual bool update() = 0;
    virtual bool release(SoundHandle sound) = 0;
};
