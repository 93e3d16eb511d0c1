#include "audio/RecordingAudioBackend.h"

bool RecordingAudioBackend::createSystem() {
    calls.push_back("createSystem");
    return !fails("createSystem");
}

bool RecordingAudioBackend::init(int channels) {
    calls.push_back("init " + std::to_string(channels));
    return !fails("init");
}

bool RecordingAudioBackend::createStream(const std::string& path, SoundHandle& sound) {
    return load("createStream", path, sound);
}

bool RecordingAudioBackend::createSample(const std::string& path, SoundHandle& sound) {
    return load("createSample", path, sound);
}

bool RecordingAudioBackend::load(const std::string& operation, const std::string& path,
                                 SoundHandle& sound) {
    calls.push_back(operation + " " + path);
    if (fails(operation) || fails(operation + " " + path)) {
        sound = noSound;
        return false;
    }
    sound = nextSound++;
    paths[sound] = path;
    return true;
}

bool RecordingAudioBackend::play(SoundHandle sound, ChannelHandle& channel) {
    calls.push_back("play " + soundName(sound));
    if (sound == noSound || fails("play")) {
        channel = noChannel;
        return false;
    }
    channel = nextChannel++;
    return true;
}

bool RecordingAudioBackend::setLooping(ChannelHandle channel) {
    calls.push_back("setLooping " + channelName(channel));
    return channel != noChannel;
}

bool RecordingAudioBackend::setPaused(ChannelHandle channel, bool paused) {
    calls.push_back("setPaused " + channelName(channel) + (paused ? " true" : " false"));
    if (channel == noChannel) {
        return false;
    }
    musicPaused = paused;
    return true;
}

bool RecordingAudioBackend::getPaused(ChannelHandle channel, bool& paused) {
    calls.push_back("getPaused " + channelName(channel));
    if (channel == noChannel) {
        return false;
    }
    paused = musicPaused;
    return true;
}

bool RecordingAudioBackend::update() {
    calls.push_back("update");
    return true;
}

bool RecordingAudioBackend::release(SoundHandle sound) {
    calls.push_back("release " + soundName(sound));
    return paths.erase(sound) == 1;
}

std::string RecordingAudioBackend::soundName(SoundHandle sound) const {
    const auto found = paths.find(sound);
    return found == paths.end() ? "none" : found->second;
}

std::string RecordingAudioBackend::channelName(ChannelHandle channel) {
    return channel == noChannel ? "none" : "channel " + std::to_string(channel);
}
