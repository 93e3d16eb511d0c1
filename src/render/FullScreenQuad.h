#pragma once

#include <GL/glew.h>
#include <array>

// Two clip-space triangles covering the whole viewport, positions at attribute location 0.
// Post-process and debug passes draw it with their own programs.
class FullScreenQuad {
  public:
    static constexpr std::array<float, 18> corners{
        -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
        -1.0f, 1.0f,  0.0f, 1.0f, -1.0f, 0.0f, 1.0f,  1.0f, 0.0f,
    };
    static constexpr GLsizei vertexCount = 6;

    // Uploads the quad; needs a current GL context. GL names live for the whole run.
    FullScreenQuad();

    // Draws with the quad's vertex array already bound by the caller.
    static void drawBound();

    GLuint vertexArray = 0;
    GLuint buffer = 0;
};
