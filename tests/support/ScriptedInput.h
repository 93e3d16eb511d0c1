#pragma once

#include "app/InputClock.h"

#include <GLFW/glfw3.h>
#include <set>

// Keys and clock under the test's control; installed for its lifetime.
class ScriptedInput : public InputClock {
public:
    ScriptedInput() { setInputClock(this); }
    ~ScriptedInput() override { setInputClock(nullptr); }

    int key(GLFWwindow*, int key) override { return held.count(key) ? GLFW_PRESS : GLFW_RELEASE; }
    double time() override { return now; }

    void press(int key) { held.insert(key); }
    void release(int key) { held.erase(key); }
    void releaseAll() { held.clear(); }

    double now = 0.0;
    std::set<int> held;
};
