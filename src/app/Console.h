#pragma once

#include <string>

// Waits for Enter on standard input; returns at once when input is closed.
void pauseConsole();
// Waits for one character on standard input; returns at once when input is closed.
void waitForCharacter();
// Prints the message and a line end, waits for the player, ends the process with -1.
[[noreturn]] void failStartup(const std::string& message);
