#include "render/Text2D.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <algorithm>
#include <cstdint>
#include <glm/vec2.hpp>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int windowWidth = 320;
constexpr int windowHeight = 240;

// A hidden window with the text renderer set up from the data folder.
class Text2D : public ::testing::Test {
protected:
    Text2D() { initText2D(); }
    ~Text2D() override { releaseText2D(); }

    WorkingDirectory cwd{VELMORA_DATA_DIR};
    GlContext context{windowWidth, windowHeight};
};

std::vector<glm::vec2> readBack(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<glm::vec2> values(static_cast<std::size_t>(bytes) / sizeof(glm::vec2));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, values.data());
    return values;
}

// Triangles that reached the rasteriser during one call.
GLuint trianglesDrawn(const char* text, int x) {
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    printText2D(text, x);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint triangles = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
    glDeleteQueries(1, &query);
    return triangles;
}

void expectGlyph(const std::vector<glm::vec2>& positions, const std::vector<glm::vec2>& uvs,
                 std::size_t glyph, float left, glm::vec2 cell) {
    const float right = left + 18.0f;
    const float step = 1.0f / 16.0f;
    const glm::vec2 expectedPositions[6] = {{left, 583},  {left, 565},  {right, 583},
                                            {right, 565}, {right, 583}, {left, 565}};
    const glm::vec2 expectedUvs[6] = {cell,
                                      {cell.x, cell.y + step},
                                      {cell.x + step, cell.y},
                                      {cell.x + step, cell.y + step},
                                      {cell.x + step, cell.y},
                                      {cell.x, cell.y + step}};
    for (std::size_t corner = 0; corner < 6; ++corner) {
        SCOPED_TRACE(corner);
        EXPECT_EQ(positions[glyph * 6 + corner], expectedPositions[corner]);
        EXPECT_FLOAT_EQ(uvs[glyph * 6 + corner].x, expectedUvs[corner].x);
        EXPECT_FLOAT_EQ(uvs[glyph * 6 + corner].y, expectedUvs[corner].y);
    }
}

// Whether any pixel in rows [firstRow, lastRow) differs from the clear colour.
bool rowsChanged(const std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& clear,
                 int firstRow, int lastRow) {
    const auto begin = static_cast<std::size_t>(firstRow) * windowWidth * 4;
    const auto end = static_cast<std::size_t>(lastRow) * windowWidth * 4;
    return !std::equal(pixels.begin() + static_cast<long>(begin),
                       pixels.begin() + static_cast<long>(end),
                       clear.begin() + static_cast<long>(begin));
}

} // namespace

TEST_F(Text2D, InitCreatesTheFontProgramBuffersAndVertexArray) {
    EXPECT_NE(textRenderer.fontTexture, 0u);
    EXPECT_NE(textRenderer.vertexBuffer, 0u);
    EXPECT_NE(textRenderer.uvBuffer, 0u);
    EXPECT_NE(textRenderer.program, 0u);
    EXPECT_NE(textRenderer.samplerLocation, -1);
    EXPECT_NE(textRenderer.vertexArray, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Text2D, TwoLettersMakeTwoQuadsOnTheHudLineWithTheirFontCells) {
    EXPECT_EQ(trianglesDrawn("AB", 10), 4u);
    const std::vector<glm::vec2> positions = readBack(textRenderer.vertexBuffer);
    const std::vector<glm::vec2> uvs = readBack(textRenderer.uvBuffer);
    ASSERT_EQ(positions.size(), 12u);
    ASSERT_EQ(uvs.size(), 12u);
    // 'A' is code 65: column 1, row 4; 'B' the next column.
    expectGlyph(positions, uvs, 0, 10.0f, {0.0625f, 0.25f});
    expectGlyph(positions, uvs, 1, 28.0f, {0.125f, 0.25f});
    auto [minX, maxX] = std::minmax_element(positions.begin(), positions.end(),
                                            [](glm::vec2 a, glm::vec2 b) { return a.x < b.x; });
    EXPECT_EQ(minX->x, 10.0f);
    EXPECT_EQ(maxX->x, 46.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Text2D, AnEmptyStringUploadsEmptyBuffersAndDrawsNothing) {
    printText2D("AB", 10);
    EXPECT_EQ(trianglesDrawn("", 10), 0u);
    EXPECT_TRUE(readBack(textRenderer.vertexBuffer).empty());
    EXPECT_TRUE(readBack(textRenderer.uvBuffer).empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Text2D, ACodeAbove127CountsAsNegative) {
    // 200 is -56 as a signed byte: column -8, row -3.
    printText2D("\xC8", 0);
    const std::vector<glm::vec2> uvs = readBack(textRenderer.uvBuffer);
    ASSERT_EQ(uvs.size(), 6u);
    EXPECT_FLOAT_EQ(uvs[0].x, -0.5f);
    EXPECT_FLOAT_EQ(uvs[0].y, -0.1875f);
    for (glm::vec2 uv : uvs) {
        EXPECT_LT(uv.x, 0.0f);
        EXPECT_LT(uv.y, 0.0f);
    }
}

TEST_F(Text2D, TextShowsInTheTopBandOfTheWindowOnly) {
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<std::uint8_t> clear = context.readPixels();
    printText2D("VELMORA", 10);
    const std::vector<std::uint8_t> pixels = context.readPixels();
    // Layout rows 565..583 of 600 are window rows 226..233 of 240, counted from the bottom.
    EXPECT_TRUE(rowsChanged(pixels, clear, 225, 235));
    EXPECT_FALSE(rowsChanged(pixels, clear, 0, 220));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}
