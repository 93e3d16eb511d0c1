#pragma once

#include "app/InputClock.h"

#include <set>

// Keys and clock under a script's control (tests, benchmarks); installed for its lifetime.
class ScriptedInputClock : public InputClock {
public:
    ScriptedInputClock();
    ~ScriptedInputClock() override;
    ScriptedInputClock(const ScriptedInputClock&) = delete;
    ScriptedInputClock& operator=(const ScriptedInputClock&) = delete;

    int key(GLFWwindow* window, int key) override;
    double time() override;

    void press(int key) { held.insert(key); }
    void release(int key) { held.erase(key); }
    void releaseAll() { held.clear(); }

    double now = 0.0;
    std::set<int> held;
};
