#pragma once

#include "app/Game.h"
#include "app/ScriptedInputClock.h"
#include "support/DataDirectory.h"

#include <GLFW/glfw3.h>
#include <memory>

// The real Game in a hidden window, run from the data folder with scripted keys and clock.
class GameHarness {
public:
    GameHarness() : cwd(VELMORA_DATA_DIR) {
        Game::windowVisible = false;
        game = std::make_unique<Game>();
        game->startUp();
    }
    ~GameHarness() {
        if (game->window) {
            game->shutDown();
        }
    }

    // One frame with the clock at `seconds`.
    void frameAt(double seconds) {
        input.now = seconds;
        game->frame();
    }

    // SPACE on the intro, then the loading frame: the game is playing afterwards.
    void startPlaying(double seconds) {
        input.press(GLFW_KEY_SPACE);
        frameAt(seconds);
        input.release(GLFW_KEY_SPACE);
        frameAt(seconds);
    }

    // Draws into a small corner of the window: tests that only fly need no pixels.
    void renderSmall() {
        game->width = 160;
        game->height = 90;
    }

    // ENTER on an end picture: back on the intro afterwards.
    void returnToIntro(double seconds) {
        input.press(GLFW_KEY_ENTER);
        frameAt(seconds);
        input.release(GLFW_KEY_ENTER);
    }

    ScriptedInputClock input;
    WorkingDirectory cwd;
    std::unique_ptr<Game> game;
};
