#include "support/GlContext.h"

#include <stdexcept>

GlContext::GlContext(int width, int height) : width(width), height(height) {
    if (!glfwInit()) {
        throw std::runtime_error("GLFW cannot start: is there a display (run under xvfb-run)?");
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
    if (!window) {
        glfwTerminate();
        throw std::runtime_error("cannot create a 3.3 core context");
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        throw std::runtime_error("GLEW cannot start");
    }
    glGetError();
}

GlContext::~GlContext() {
    glfwDestroyWindow(window);
    glfwTerminate();
}

std::vector<std::uint8_t> GlContext::readPixels() const {
    return readFramebuffer(width, height);
}

std::vector<std::uint8_t> readFramebuffer(int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
