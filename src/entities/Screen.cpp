#include "entities/Screen.h"

Screen::Screen(std::string picturePath) : picturePath(std::move(picturePath)) {}

void Screen::init() {}

void Screen::draw(glm::mat4, glm::mat4) {}
