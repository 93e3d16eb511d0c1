#pragma once

#include <memory>
#include <string>

class AudioBackend;

// Music and effects. Sound is optional: when the audio system or the music
// cannot start, every call here is silent and the game plays on.

extern bool soundAvailable;
extern bool soundOn;

void initSound();
void playSound(const std::string& name);
void startMusic();
void pauseMusic();
void flipMusicPause();
void releaseSounds();

// Replaces the audio library the module talks to; without one, initSound
// uses SDL_mixer.
void setAudioBackend(std::unique_ptr<AudioBackend> backend);
// Back to the state of a fresh run: flags set, nothing loaded, no backend.
void resetSound();
