#pragma once

#include <string>

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
