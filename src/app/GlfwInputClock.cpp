#include "app/GlfwInputClock.h"

#include <GLFW/glfw3.h>

int GlfwInputClock::key(GLFWwindow* window, int key) {
    return glfwGetKey(window, key);
}

double GlfwInputClock::time() {
    return glfwGetTime();
}

namespace {

GlfwInputClock glfwSource;
InputClock* currentSource = &glfwSource;

} // namespace

InputClock& inputClock() {
    return *currentSource;
}

void setInputClock(InputClock* source) {
    currentSource = source ? source : &glfwSource;
}
