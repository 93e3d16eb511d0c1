#include "render/Text2D.h"
#include "support/GameHarness.h"

#include <GL/glew.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The real game at its configured size, since the HUD is laid out over the whole window.
class Hud : public ::testing::Test {
protected:
    Game& game() { return *h.game; }

    // The frame with the key held and the one after it released.
    void tap(int key, double seconds, double releasedAt) {
        h.input.press(key);
        h.frameAt(seconds);
        h.input.release(key);
        h.frameAt(releasedAt);
    }

    GameHarness h;
};

struct Statistics {
    int fps;
    double frameTime;
    int objects;
    int polygons;
};

// The statistics lines among everything printed, in order.
std::vector<Statistics> statisticsLines(const std::string& printed) {
    static const std::regex line(
        R"(FPS:(\d+) Frametime:(\d+\.\d{6}) Objectcount:(\d+) Polycount:(\d+))");
    std::vector<Statistics> found;
    std::istringstream stream(printed);
    for (std::string entry; std::getline(stream, entry);) {
        std::smatch match;
        if (entry.rfind("FPS:", 0) == 0) {
            EXPECT_TRUE(std::regex_match(entry, match, line)) << entry;
            found.push_back({std::stoi(match[1]), std::stod(match[2]), std::stoi(match[3]),
                             std::stoi(match[4])});
        }
    }
    return found;
}

// The text of the last printText2D call, decoded from the font cells of its glyphs.
std::string lastDrawnText() {
    glBindBuffer(GL_ARRAY_BUFFER, textRenderer.uvBuffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<float> uvs(static_cast<std::size_t>(bytes) / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, uvs.data());
    std::string text;
    // Each glyph is six corners of two floats; the first corner is the cell's upper left.
    for (std::size_t at = 0; at + 12 <= uvs.size(); at += 12) {
        const int column = static_cast<int>(std::lround(uvs[at] * 16.0f));
        const int row = static_cast<int>(std::lround(uvs[at + 1] * 16.0f));
        text += static_cast<char>(row * 16 + column);
    }
    return text;
}

std::string shown(const std::array<char, HudTexts::size>& buffer) {
    return buffer.data();
}

} // namespace

TEST_F(Hud, FirstPlayingFrameShowsThreeLivesTheFullTimeAndNoScore) {
    h.startPlaying(1.0);
    h.frameAt(1.05);
    EXPECT_EQ(gameState, Playing);
    EXPECT_EQ(game().score, 0);
    EXPECT_TRUE(game().timeLeft == 15 || game().timeLeft == 14) << game().timeLeft;
    EXPECT_EQ(shown(game().hudTexts.lives), "lifes:3");
    EXPECT_EQ(shown(game().hudTexts.time), "time:14");
    EXPECT_EQ(shown(game().hudTexts.score), "score:000");
    EXPECT_EQ(lastDrawnText(), "score:000");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Hud, NumbersArePaddedAndKeepTheirSign) {
    h.startPlaying(1.0);
    game().paused = true;
    game().timeLeft = 7;
    game().score = 5;
    game().lives = 2;
    game().drawHud();
    EXPECT_EQ(shown(game().hudTexts.lives), "lifes:2");
    EXPECT_EQ(shown(game().hudTexts.time), "time:07");
    EXPECT_EQ(shown(game().hudTexts.score), "score:005");
    game().timeLeft = -3;
    game().score = 1234;
    game().drawHud();
    EXPECT_EQ(shown(game().hudTexts.time), "time:-3");
    EXPECT_EQ(shown(game().hudTexts.score), "score:1234");
    EXPECT_EQ(lastDrawnText(), "score:1234");
}

TEST_F(Hud, WithoutTheFrameRateNothingIsPrinted) {
    h.startPlaying(1.0);
    testing::internal::CaptureStdout();
    h.frameAt(1.1);
    h.frameAt(2.3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(shown(game().hudTexts.frameRate), "");
    EXPECT_EQ(game().fpsFrames, 0);
}

TEST_F(Hud, F2PrintsOneStatisticsLinePerFrameFromAFirstWindowAtClockZero) {
    h.startPlaying(1.0);
    EXPECT_EQ(game().fpsWindowStart, 0.0);
    testing::internal::CaptureStdout();
    tap(GLFW_KEY_F2, 1.1, 1.12);
    h.frameAt(1.14);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("Show FPS: on\n", 0), 0u) << printed;

    const std::vector<Statistics> lines = statisticsLines(printed);
    ASSERT_EQ(lines.size(), 3u);
    // One frame over the 1.1 s since the clock started: far below the real rate.
    EXPECT_EQ(lines[0].fps, 1);
    EXPECT_NEAR(lines[0].frameTime, 0.1, 1e-5);
    EXPECT_DOUBLE_EQ(game().fpsWindowStart, 1.1);
    EXPECT_EQ(lines[2].fps, 1);
    EXPECT_NEAR(lines[2].frameTime, 0.02, 1e-5);
    EXPECT_EQ(shown(game().hudTexts.frameRate), "FPS:1");
    EXPECT_EQ(shown(game().hudTexts.time), "time:14");

    // The next window closes after a second: frames at 1.12, 1.14 and 2.2.
    testing::internal::CaptureStdout();
    h.frameAt(2.2);
    EXPECT_EQ(statisticsLines(testing::internal::GetCapturedStdout()).at(0).fps, 3);
    EXPECT_EQ(game().fpsFrames, 0);
    EXPECT_DOUBLE_EQ(game().fpsWindowStart, 2.2);
}

TEST_F(Hud, CountersArePrintedForTheFrameAndZeroedAfterTheHudPass) {
    h.startPlaying(1.0);
    game().showFps = true;
    testing::internal::CaptureStdout();
    h.frameAt(1.1);
    const std::vector<Statistics> lines = statisticsLines(testing::internal::GetCapturedStdout());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_GT(lines[0].objects, 0);
    EXPECT_GT(lines[0].polygons, lines[0].objects);
    EXPECT_EQ(game().objectCount, 0);
    EXPECT_EQ(game().polygonCount, 0);
}

TEST_F(Hud, WhilePausedScoreAndTimeKeepTheirValues) {
    h.startPlaying(1.0);
    h.frameAt(3.5);
    EXPECT_EQ(game().score, 2);
    EXPECT_EQ(game().timeLeft, 12);
    testing::internal::CaptureStdout();
    tap(GLFW_KEY_F1, 3.6, 3.7);
    h.frameAt(9.0);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(game().paused);
    EXPECT_EQ(game().score, 2);
    EXPECT_EQ(game().timeLeft, 12);
    EXPECT_EQ(shown(game().hudTexts.score), "score:002");
    EXPECT_EQ(shown(game().hudTexts.time), "time:12");
}
