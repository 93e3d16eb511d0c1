#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <cstdint>
#include <vector>

// A hidden window with a 3.3 core context, for tests that draw or create GL objects.
class GlContext {
public:
    GlContext(int width = 320, int height = 240);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // RGBA bytes of the back buffer, bottom row first.
    std::vector<std::uint8_t> readPixels() const;

    GLFWwindow* window = nullptr;
    int width;
    int height;
};

// Reads the framebuffer currently bound for reading.
std::vector<std::uint8_t> readFramebuffer(int width, int height);
