#include <GLFW/glfw3.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The game waits on the console after some failures; under test nobody answers.
    if (!std::freopen("/dev/null", "r", stdin)) {
        return 1;
    }
    // Tests never need a sound card; SDL's silent driver keeps them quiet and fast.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    glfwSetErrorCallback([](int code, const char* text) {
        std::fprintf(stderr, "GLFW error %d: %s\n", code, text);
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
