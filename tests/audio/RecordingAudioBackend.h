#pragma once

#include "audio/AudioBackend.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// Stands in for the audio library: writes every call, with its arguments, to
// `calls`, and fails the operations named in `failing` (an operation name, or
// "createSample <path>" for one file). Sounds are recorded by their path and
// channels as "channel N".
class RecordingAudioBackend : public AudioBackend {
  public:
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

    std::vector<std::string> calls;
    std::set<std::string> failing;
    bool musicPaused = false;

  private:
    bool fails(const std::string& operation) const { return failing.contains(operation); }
    bool load(const std::string& operation, const std::string& path, SoundHandle& sound);
    std::string soundName(SoundHandle sound) const;
    static std::string channelName(ChannelHandle channel);

    std::map<SoundHandle, std::string> paths;
    SoundHandle nextSound = noSound + 1;
    ChannelHandle nextChannel = noChannel + 1;
};
