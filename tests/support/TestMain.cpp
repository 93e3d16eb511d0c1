#include <GLFW/glfw3.h>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The game waits on the console after some failures; under test nobody answers.
    if (!std::freopen("/dev/null", "r", stdin)) {
        return 1;
    }
    glfwSetErrorCallback([](int code, const char* text) {
        std::fprintf(stderr, "GLFW error %d: %s\n", code, text);
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
