#pragma once

#include <cstdint>

// The four display settings of "config.cfg", read once at start-up.
struct DisplayConfig {
    // Reads "config.cfg" from the working directory. An unusable file is reported on the
    // error stream; every setting it did not supply keeps its windowed 1280 x 720 default.
    DisplayConfig();

    std::int32_t width = 1280;
    std::int32_t height = 720;
    std::int32_t refreshRate = 60;
    bool fullscreen = false;
};
