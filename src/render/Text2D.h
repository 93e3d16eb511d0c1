#pragma once

#include <GL/glew.h>

// The one text renderer of the run: a bitmap font and the buffers every call reuses.
struct TextRenderer {
    GLuint fontTexture = 0;
    GLuint vertexBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint program = 0;
    GLint samplerLocation = -1;
    GLuint vertexArray = 0;
};

// Exposed so tests can read the glyph buffers back.
extern TextRenderer textRenderer;

// Needs a current GL context; a missing font waits for a key and then draws untextured quads.
void initText2D();
// Draws `text` on the HUD line, 18 layout units per glyph, starting at `x`.
void printText2D(const char* text, int x);
// Frees the GL objects, for a context that outlives the renderer.
void releaseText2D();
