#include "render/Text2D.h"

#include "render/Shaders.h"
#include "render/Textures.h"

#include <cstring>
#include <glm/vec2.hpp>
#include <vector>

TextRenderer textRenderer;

namespace {

constexpr float glyphSize = 18.0f;
constexpr float lineBottom = 565.0f;
constexpr float lineTop = lineBottom + glyphSize;
constexpr float cellSize = 1.0f / 16.0f;

struct GlyphQuads {
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

// Codes above 127 count as negative, so their cells lie outside the font on purpose.
glm::vec2 cellCorner(char character) {
    const int code = static_cast<signed char>(character);
    return {static_cast<float>(code % 16) * cellSize, static_cast<float>(code / 16) * cellSize};
}

// Two counter-clockwise triangles, so back-face culling keeps them.
void appendGlyph(GlyphQuads& quads, float left, glm::vec2 uv) {
    const float right = left + glyphSize;
    const glm::vec2 upperLeft{left, lineTop}, lowerLeft{left, lineBottom};
    const glm::vec2 upperRight{right, lineTop}, lowerRight{right, lineBottom};
    const glm::vec2 uvUpperLeft = uv, uvLowerLeft{uv.x, uv.y + cellSize};
    const glm::vec2 uvUpperRight{uv.x + cellSize, uv.y};
    const glm::vec2 uvLowerRight{uv.x + cellSize, uv.y + cellSize};
    quads.positions.insert(quads.positions.end(),
                           {upperLeft, lowerLeft, upperRight, lowerRight, upperRight, lowerLeft});
    quads.uvs.insert(quads.uvs.end(), {uvUpperLeft, uvLowerLeft, uvUpperRight, uvLowerRight,
                                       uvUpperRight, uvLowerLeft});
}

GlyphQuads layOut(const char* text, int x, std::size_t length) {
    GlyphQuads quads;
    for (std::size_t i = 0; i < length; ++i) {
        const float left = static_cast<float>(x) + glyphSize * static_cast<float>(i);
        appendGlyph(quads, left, cellCorner(text[i]));
    }
    return quads;
}

void upload(GLuint buffer, const std::vector<glm::vec2>& values) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(glm::vec2)),
                 values.data(), GL_STATIC_DRAW);
}

void enableAttribute(GLuint location, GLuint buffer) {
    glEnableVertexAttribArray(location);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
}

} // namespace

void initText2D() {
    textRenderer.fontTexture = loadDdsFromPath("Models/captureit.dds");
    glGenBuffers(1, &textRenderer.vertexBuffer);
    glGenBuffers(1, &textRenderer.uvBuffer);
    textRenderer.program =
        loadShaders("Shaders\\TextVertexShader.vert", "Shaders\\TextVertexShader.frag");
    textRenderer.samplerLocation = glGetUniformLocation(textRenderer.program, "myTextureSampler");
    glGenVertexArrays(1, &textRenderer.vertexArray);
}

void printText2D(const char* text, int x) {
    const std::size_t length = std::strlen(text);
    glBindVertexArray(textRenderer.vertexArray);
    const GlyphQuads quads = layOut(text, x, length);
    upload(textRenderer.vertexBuffer, quads.positions);
    upload(textRenderer.uvBuffer, quads.uvs);

    glUseProgram(textRenderer.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textRenderer.fontTexture);
    glUniform1i(textRenderer.samplerLocation, 0);
    enableAttribute(0, textRenderer.vertexBuffer);
    enableAttribute(1, textRenderer.uvBuffer);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(6 * length));
    glDisable(GL_BLEND);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
}

void releaseText2D() {
    glDeleteVertexArrays(1, &textRenderer.vertexArray);
    glDeleteProgram(textRenderer.program);
    glDeleteBuffers(1, &textRenderer.uvBuffer);
    glDeleteBuffers(1, &textRenderer.vertexBuffer);
    glDeleteTextures(1, &textRenderer.fontTexture);
    textRenderer = TextRenderer{};
}
