#include "app/ScriptedInputClock.h"

#include <GLFW/glfw3.h>

ScriptedInputClock::ScriptedInputClock() {
    setInputClock(this);
}

ScriptedInputClock::~ScriptedInputClock() {
    setInputClock(nullptr);
}

int ScriptedInputClock::key(GLFWwindow*, int key) {
    return held.count(key) ? GLFW_PRESS : GLFW_RELEASE;
}

double ScriptedInputClock::time() {
    return now;
}
