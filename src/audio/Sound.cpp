#include "audio/Sound.h"

bool soundAvailable = true;
bool soundOn = true;

void initSound() {}
void playSound(const std::string&) {}
void startMusic() {}
void pauseMusic() {}
void flipMusicPause() {}
void releaseSounds() {}
