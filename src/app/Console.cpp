#include "app/Console.h"

#include <cstdio>
#include <cstdlib>

void pauseConsole() {
    std::fflush(stdout);
    int character = 0;
    do {
        character = std::getchar();
    } while (character != '\n' && character != EOF);
}

void waitForCharacter() {
    std::fflush(stdout);
    std::getchar();
}

void failStartup(const std::string& message) {
    std::printf("%s\n", message.c_str());
    pauseConsole();
    std::exit(-1);
}
