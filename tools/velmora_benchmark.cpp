// Times world setup and frames of the real game in a hidden window, and reads the memory
// after one and after twenty games. Run from the data folder, or pass it as argument 1.

#include "app/Game.h"
#include "app/ScriptedInputClock.h"
#include "app/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double frameSeconds = 1.0 / 60.0;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

double median(std::vector<double> values) {
    return percentile(std::move(values), 0.5);
}

// Kilobytes of a /proc/self/status field such as "VmHWM".
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

class Bench {
public:
    Bench() {
        Game::windowVisible = false;
        game.startUp();
    }
    ~Bench() { game.shutDown(); }

    // One frame at the scripted clock; the clock then moves on by a sixtieth.
    void frame() {
        game.frame();
        input.now += frameSeconds;
    }

    // SPACE on the intro, then the loading frame and the first playing frame; returns the
    // wall time from the SPACE frame to the end of that first playing frame.
    double startGame() {
        const Clock::time_point start = Clock::now();
        input.press(GLFW_KEY_SPACE);
        frame();
        input.release(GLFW_KEY_SPACE);
        frame();
        frame();
        glFinish();
        return millisecondsSince(start);
    }

    // Ends a running game and goes back to the intro; a finished one only needs ENTER.
    void finishGame() {
        if (gameState == Playing) {
            game.endGame();
            gameState = Lost;
        }
        input.press(GLFW_KEY_ENTER);
        frame();
        input.release(GLFW_KEY_ENTER);
    }

    // Wall time of one playing frame, starting a new game first when the last one ended.
    double timedPlayingFrame() {
        if (gameState != Playing) {
            finishGame();
            startGame();
        }
        const Clock::time_point start = Clock::now();
        frame();
        glFinish();
        return millisecondsSince(start);
    }

    ScriptedInputClock input;
    Game game;
};

void printMemory(const char* when) {
    std::printf("memory after %s: peak RSS (VmHWM) %.1f MiB, current RSS (VmRSS) %.1f MiB\n", when,
                statusKilobytes("VmHWM") / 1024.0, statusKilobytes("VmRSS") / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::filesystem::current_path(argv[1]);
    }
    if (!std::filesystem::exists("config.cfg")) {
        std::fprintf(stderr, "usage: %s [data folder]; no config.cfg in %s\n", argv[0],
                     std::filesystem::current_path().c_str());
        return 1;
    }
    Bench bench;
    Game& game = bench.game;
    std::printf("window: %d x %d, renderer: %s\n", game.width, game.height,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    // Memory first, so the figures are not raised by the timing runs.
    bench.startGame();
    bench.finishGame();
    printMemory("1 game");
    for (int i = 1; i < 20; ++i) {
        bench.startGame();
        bench.finishGame();
    }
    printMemory("20 games");

    std::vector<double> setups;
    for (int i = 0; i < 5; ++i) {
        setups.push_back(bench.startGame());
        bench.finishGame();
    }
    std::printf("world setup: median %.1f ms over %zu games (min %.1f, max %.1f)\n", median(setups),
                setups.size(), *std::min_element(setups.begin(), setups.end()),
                *std::max_element(setups.begin(), setups.end()));

    bench.startGame();
    std::vector<double> playing;
    int gamesStarted = 1;
    for (int i = 0; i < 300; ++i) {
        gamesStarted += gameState != Playing;
        playing.push_back(bench.timedPlayingFrame());
    }
    std::printf("playing frame: median %.2f ms, 95th percentile %.2f ms over %zu frames (%d "
                "games)\n",
                median(playing), percentile(playing, 0.95), playing.size(), gamesStarted);
    bench.finishGame();

    // Only the level, the ship and the camera stay in the scene; the rest is still owned.
    std::vector<double> levelScene;
    bench.startGame();
    game.objects.resize(3);
    int levelGames = 1;
    for (int i = 0; i < 300; ++i) {
        if (gameState != Playing) {
            bench.finishGame();
            bench.startGame();
            game.objects.resize(3);
            ++levelGames;
        }
        const Clock::time_point start = Clock::now();
        bench.frame();
        glFinish();
        levelScene.push_back(millisecondsSince(start));
    }
    std::printf("level scene frame: median %.2f ms, 95th percentile %.2f ms over %zu frames (%d "
                "games)\n",
                median(levelScene), percentile(levelScene, 0.95), levelScene.size(), levelGames);
    bench.finishGame();
    return 0;
}
