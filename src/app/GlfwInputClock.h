#pragma once

#include "app/InputClock.h"

class GlfwInputClock : public InputClock {
public:
    int key(GLFWwindow* window, int key) override;
    double time() override;
};
