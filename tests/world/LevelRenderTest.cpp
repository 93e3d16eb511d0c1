#include "app/Game.h"
#include "app/World.h"
#include "entities/Level.h"
#include "ship/Ship.h"
#include "support/GameHarness.h"
#include "support/GlContext.h"
#include "world/WorldProbe.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr double frameSeconds = 1.0 / 60.0;
constexpr int depthViewSize = 250;
constexpr float endWallZ = -82.2f;

// The picture the last frame left in the window, bottom row first (RGBA).
std::vector<std::uint8_t> lastFrame(const Game& game) {
    glReadBuffer(GL_BACK);
    return readFramebuffer(game.width, game.height);
}

struct Brightness {
    double mean;
    double deviation;
};

Brightness brightnessOf(const std::vector<std::uint8_t>& rgba) {
    double sum = 0.0, squares = 0.0;
    const std::size_t pixels = rgba.size() / 4;
    for (std::size_t i = 0; i < pixels; ++i) {
        double grey = (rgba[4 * i] + rgba[4 * i + 1] + rgba[4 * i + 2]) / 3.0;
        sum += grey;
        squares += grey * grey;
    }
    double mean = sum / pixels;
    return {mean, std::sqrt(std::max(0.0, squares / pixels - mean * mean))};
}

// Writes a picture for a person to look at when VELMORA_SCREENSHOTS names a folder.
void keepPicture(const Game& game, const std::vector<std::uint8_t>& rgba, const char* name) {
    const char* folder = std::getenv("VELMORA_SCREENSHOTS");
    if (!folder) {
        return;
    }
    std::ofstream out(std::string(folder) + "/" + name + ".ppm", std::ios::binary);
    out << "P6\n" << game.width << " " << game.height << "\n255\n";
    for (int y = game.height - 1; y >= 0; --y) {
        for (int x = 0; x < game.width; ++x) {
            out.write(reinterpret_cast<const char*>(&rgba[4 * (y * game.width + x)]), 3);
        }
    }
}

// The first frame of play, seen from the start position.
std::vector<std::uint8_t> firstPlayingFrame(GameHarness& h) {
    h.startPlaying(1.0);
    h.frameAt(1.0 + frameSeconds);
    return lastFrame(*h.game);
}

// Pixels of the lower-left corner whose channels differ by more than a rounding step.
int colouredCornerPixels(const Game& game, const std::vector<std::uint8_t>& picture) {
    int coloured = 0;
    for (int y = 0; y < depthViewSize; ++y) {
        for (int x = 0; x < depthViewSize; ++x) {
            const std::uint8_t* p = &picture[4 * (y * game.width + x)];
            coloured += std::abs(p[0] - p[1]) > 2 || std::abs(p[1] - p[2]) > 2;
        }
    }
    return coloured;
}

} // namespace

TEST(LevelRender, StartViewShowsLitTunnelWalls) {
    GameHarness h;
    std::vector<std::uint8_t> picture = firstPlayingFrame(h);
    ASSERT_EQ(gameState, Playing);
    keepPicture(*h.game, picture, "level_start");
    Brightness whole = brightnessOf(picture);
    EXPECT_GT(whole.mean, 40.0);
    EXPECT_LT(whole.mean, 235.0);
    EXPECT_GT(whole.deviation, 12.0);

    // Walls all round: the left, right, top and bottom strips are lit too.
    const int w = h.game->width, ht = h.game->height;
    auto strip = [&](int x0, int y0, int x1, int y1) {
        std::vector<std::uint8_t> part;
        for (int y = y0; y < y1; ++y) {
            part.insert(part.end(), picture.begin() + 4 * (y * w + x0),
                        picture.begin() + 4 * (y * w + x1));
        }
        return brightnessOf(part).mean;
    };
    EXPECT_GT(strip(0, 0, w / 8, ht), 15.0) << "left wall";
    EXPECT_GT(strip(w - w / 8, 0, w, ht), 15.0) << "right wall";
    EXPECT_GT(strip(0, ht - ht / 8, w, ht), 15.0) << "ceiling";
    EXPECT_GT(strip(0, 0, w, ht / 8), 15.0) << "floor";
}

TEST(LevelRender, DepthViewShowsGreyLevelsInTheCorner) {
    // Without the view the same corner shows the coloured tunnel.
    {
        GameHarness plain;
        std::vector<std::uint8_t> tunnel = firstPlayingFrame(plain);
        EXPECT_GT(colouredCornerPixels(*plain.game, tunnel), 1000);
    }
    GameHarness h;
    h.game->depthMapView = true;
    std::vector<std::uint8_t> picture = firstPlayingFrame(h);
    ASSERT_EQ(gameState, Playing);
    keepPicture(*h.game, picture, "depth_view");
    EXPECT_EQ(colouredCornerPixels(*h.game, picture), 0);
    int lowest = 255, highest = 0;
    for (int y = 0; y < depthViewSize; ++y) {
        for (int x = 0; x < depthViewSize; ++x) {
            const int red = picture[4 * (y * h.game->width + x)];
            lowest = std::min(lowest, red);
            highest = std::max(highest, red);
        }
    }
    EXPECT_GT(highest - lowest, 10) << "the depth view shows more than one level";
}

TEST(LevelRender, RemovedLevelIsDrawnButTheShipFliesThroughIt) {
    // Frames of a tenth of a second keep this short; the ship still moves under a unit a step.
    constexpr double step = 0.1;
    {
        GameHarness h;
        h.startPlaying(1.0);
        worldprobe::keepOnlyLevelShipAndCamera(*h.game);
        for (double t = 1.0 + step; t < 6.0 && gameState == Playing; t += step) {
            h.frameAt(t);
        }
        if (currentShip) {
            EXPECT_GT(currentShip->position().z, endWallZ) << "the level holds the ship";
        }
    }
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    worldprobe::keepOnlyLevelShipAndCamera(game);
    currentLevel->removeFromWorld();
    for (double t = 1.0 + step; t < 6.0; t += step) {
        h.frameAt(t);
        ASSERT_EQ(gameState, Playing) << "at " << t;
        ASSERT_FALSE(game.crashed);
    }
    EXPECT_LT(currentShip->position().z, endWallZ - 20.0f) << "beyond the end wall";
    ASSERT_EQ(game.objects.front(), static_cast<App*>(currentLevel));
    // Still drawn: the draw is counted.
    game.objectCount = 0;
    currentLevel->draw(game.view, game.projection);
    EXPECT_EQ(game.objectCount, 1);
}
