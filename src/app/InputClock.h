#pragma once

struct GLFWwindow;

// Every key and clock read of the game goes through here, so tests can script
// whole games frame by frame while the game itself reads GLFW.
class InputClock {
public:
    virtual ~InputClock() = default;

    // GLFW_PRESS or GLFW_RELEASE for the key on the window.
    virtual int key(GLFWwindow* window, int key) = 0;
    // Seconds since the windowing library started.
    virtual double time() = 0;
};

InputClock& inputClock();
// Replaces the source of keys and time; nullptr restores GLFW's.
void setInputClock(InputClock* source);
