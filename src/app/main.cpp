#include "app/Console.h"
#include "app/Game.h"

#include <memory>

int main() {
    auto game = std::make_unique<Game>();
    game->run();
    game.reset();
    pauseConsole();
    return 0;
}
