#include "entities/Screen.h"
#include "render/Textures.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

constexpr int windowSize = 256;
constexpr int pictureSize = 64;

// Bottom-left red, bottom-right green, top-left blue, top-right yellow.
Rgb quadrantColour(float u, float v) {
    if (v < 0.5f) {
        return u < 0.5f ? Rgb{220, 30, 30} : Rgb{30, 200, 40};
    }
    return u < 0.5f ? Rgb{30, 40, 210} : Rgb{230, 220, 20};
}

void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string quadrantBmp() {
    std::string file(54, '\0');
    file[0] = 'B';
    file[1] = 'M';
    putLittleEndian(file, 10, 54);
    putLittleEndian(file, 14, 40);
    putLittleEndian(file, 18, pictureSize);
    putLittleEndian(file, 22, pictureSize);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < pictureSize; ++y) {
        for (int x = 0; x < pictureSize; ++x) {
            Rgb rgb = quadrantColour((x + 0.5f) / pictureSize, (y + 0.5f) / pictureSize);
            file +=
                {static_cast<char>(rgb[2]), static_cast<char>(rgb[1]), static_cast<char>(rgb[0])};
        }
    }
    return file;
}

// A 3 x 2 grid of quads (12 triangles) over [-1.5, 1.5] x [-1.5, 1.5] at `depth`, facing +z,
// then `extra` more triangles in front that show the top-right colour if they are drawn.
std::string standInScreenObj(int extra = 0) {
    std::ostringstream obj;
    obj << "vt 0.9 0.9\nvn 0 0 1\n";
    const float xs[4] = {-1.5f, -0.5f, 0.5f, 1.5f};
    const float ys[3] = {-1.5f, 0.0f, 1.5f};
    for (float y : ys) {
        for (float x : xs) {
            obj << "v " << x << ' ' << y << " 0\n";
            obj << "vt " << (x + 1.5f) / 3.0f << ' ' << (y + 1.5f) / 3.0f << '\n';
        }
    }
    auto corner = [](int column, int row) { return row * 4 + column + 1; };
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            int a = corner(column, row), b = corner(column + 1, row);
            int c = corner(column + 1, row + 1), d = corner(column, row + 1);
            obj << "f " << a << '/' << a + 1 << "/1 " << b << '/' << b + 1 << "/1 " << c << '/'
                << c + 1 << "/1\n";
            obj << "f " << a << '/' << a + 1 << "/1 " << c << '/' << c + 1 << "/1 " << d << '/'
                << d + 1 << "/1\n";
        }
    }
    obj << "v -1 -1 0.5\nv 1 -1 0.5\nv 0 1 0.5\n";
    for (int i = 0; i < extra; ++i) {
        obj << "f 13/1/1 14/1/1 15/1/1\n";
    }
    return obj.str();
}

std::string sourceFile(const std::string& relative) {
    std::ifstream stream(std::filesystem::path(VELMORA_DATA_DIR) / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Where a point of the screen mesh lands in the window.
glm::ivec2 windowPixel(const glm::vec3& position) {
    glm::vec4 clip = Screen::fixedMvp() * glm::vec4(position, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc * 0.5f + 0.5f) * static_cast<float>(windowSize));
}

Rgb pixelAt(const std::vector<std::uint8_t>& pixels, glm::ivec2 at) {
    const std::uint8_t* rgba = &pixels[static_cast<std::size_t>((at.y * windowSize + at.x) * 4)];
    return {rgba[0], rgba[1], rgba[2]};
}

bool isClose(const Rgb& actual, const Rgb& expected, int tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string describe(const Rgb& rgb) {
    return std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* shader : {"Shaders/Screen.vert", "Shaders/Screen.frag"}) {
            scratch.write(shader, sourceFile(shader));
        }
        scratch.write("Models/Intro.bmp", quadrantBmp());
        scratch.write("Models/Screen.obj", standInScreenObj());
    }

    // Draws as the frame loop does: depth test and back-face culling on, any matrices.
    std::vector<std::uint8_t> drawOnce(Screen& screen) {
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        screen.draw(glm::mat4(7.0f), glm::mat4(3.0f));
        return gl.readPixels();
    }

    void expectQuadrantsOnScreen(const std::vector<std::uint8_t>& pixels) {
        for (glm::vec2 uv : {glm::vec2(0.25f, 0.25f), glm::vec2(0.75f, 0.25f),
                             glm::vec2(0.25f, 0.75f), glm::vec2(0.7f, 0.8f)}) {
            glm::vec3 position((uv.x * 3.0f) - 1.5f, (uv.y * 3.0f) - 1.5f, 0.0f);
            Rgb actual = pixelAt(pixels, windowPixel(position));
            Rgb expected = quadrantColour(uv.x, uv.y);
            EXPECT_TRUE(isClose(actual, expected, 6))
                << "uv " << uv.x << "," << uv.y << ": " << describe(actual) << " instead of "
                << describe(expected);
        }
    }

    GlContext gl{windowSize, windowSize};
    ScratchDirectory scratch;
};

TEST_F(ScreenTest, DrawingPutsThePictureOnScreen) {
    WorkingDirectory cwd(scratch.path());
    Screen screen("Models\\Intro.bmp");
    screen.init();
    EXPECT_FALSE(screen.initialised);
    EXPECT_EQ(screen.kind, 0);
    EXPECT_NE(screen.pictureTexture, 0u);
    expectQuadrantsOnScreen(drawOnce(screen));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScreenTest, OnlyTheFirstThirtySixVerticesAreDrawn) {
    scratch.write("Models/Screen.obj", standInScreenObj(2));
    WorkingDirectory cwd(scratch.path());
    Screen screen("Models\\Intro.bmp");
    ASSERT_EQ(screen.triangles.size(), 14u);
    screen.init();
    expectQuadrantsOnScreen(drawOnce(screen));
}

TEST_F(ScreenTest, MissingPicturePrintsOnceAndStillDraws) {
    WorkingDirectory cwd(scratch.path());
    Screen screen("Models\\Absent.bmp");
    ::testing::internal::CaptureStdout();
    screen.init();
    std::vector<std::uint8_t> pixels = drawOnce(screen);
    drawOnce(screen);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Image could not be opened: Models\\Absent.bmp\n");
    EXPECT_EQ(screen.pictureTexture, 0u);
    // Texture 0 samples black, distinct from the grey background.
    EXPECT_EQ(pixelAt(pixels, {windowSize / 2, windowSize / 2}), (Rgb{0, 0, 0}));
}

TEST_F(ScreenTest, ShortOrMissingMeshDrawsWithoutReadingPastIt) {
    scratch.write("Models/Screen.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                       "f 1/1/1 2/1/1 3/1/1\n");
    {
        WorkingDirectory cwd(scratch.path());
        Screen screen("Models\\Intro.bmp");
        screen.init();
        EXPECT_EQ(screen.vertexCount, 3);
        drawOnce(screen);
    }
    std::filesystem::remove(scratch.path() / "Models" / "Screen.obj");
    WorkingDirectory cwd(scratch.path());
    ::testing::internal::CaptureStdout();
    Screen screen("Models\\Intro.bmp");
    screen.init();
    drawOnce(screen);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Impossible to open the file !\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The real intro picture through the real screen mesh: each front-facing triangle of the
// mesh is sampled at a few inner points, whose picture colour must appear where they land.
TEST_F(ScreenTest, RealIntroPictureFillsTheWindow) {
    std::filesystem::path data(VELMORA_DATA_DIR);
    if (!std::filesystem::exists(data / "Models" / "Screen.obj") ||
        !std::filesystem::exists(data / "Models" / "Intro.bmp")) {
        GTEST_SKIP() << "the game's screen art is not there yet";
    }
    WorkingDirectory cwd(data);
    Screen screen("Models\\Intro.bmp");
    screen.init();
    std::vector<std::uint8_t> pixels = drawOnce(screen);

    glBindTexture(GL_TEXTURE_2D, screen.pictureTexture);
    // A small mip level matches the window's coarser sampling of the picture.
    int level = 2;
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    ASSERT_GT(width * height, 0);
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, picture.data());

    int checked = 0, matching = 0;
    for (std::size_t t = 0; t < screen.triangles.size() && t < 12; ++t) {
        const Triangle& triangle = screen.triangles[t];
        if (triangle.normal[0].z < 0.5f) {
            continue;
        }
        for (glm::vec3 weights : {glm::vec3(1 / 3.0f), glm::vec3(0.6f, 0.2f, 0.2f),
                                  glm::vec3(0.2f, 0.6f, 0.2f), glm::vec3(0.2f, 0.2f, 0.6f)}) {
            glm::vec3 position = weights.x * triangle.position[0] +
                                 weights.y * triangle.position[1] +
                                 weights.z * triangle.position[2];
            glm::vec2 uv = weights.x * triangle.uv[0] + weights.y * triangle.uv[1] +
                           weights.z * triangle.uv[2];
            glm::ivec2 at = windowPixel(position);
            if (at.x < 0 || at.y < 0 || at.x >= windowSize || at.y >= windowSize) {
                continue;
            }
            int x = std::clamp(static_cast<int>(uv.x * width), 0, width - 1);
            int y = std::clamp(static_cast<int>(uv.y * height), 0, height - 1);
            const std::uint8_t* texel = &picture[static_cast<std::size_t>((y * width + x) * 3)];
            ++checked;
            matching += isClose(pixelAt(pixels, at), Rgb{texel[0], texel[1], texel[2]}, 40);
        }
    }
    ASSERT_GE(checked, 4);
    EXPECT_GE(matching * 4, checked * 3) << matching << " of " << checked;
}

} // namespace
