#include "app/DisplayConfig.h"

#include "app/Configuration.h"
#include "app/ConfigurationException.h"

#include <cstdio>

DisplayConfig::DisplayConfig() {
    Configuration configuration;
    try {
        configuration.parse("config.cfg");
        width = configuration.lookupInt("", "width");
        height = configuration.lookupInt("", "height");
        refreshRate = configuration.lookupInt("", "refresh_rate");
        fullscreen = configuration.lookupBoolean("", "fullscreen");
    } catch (const ConfigurationException&) {
        std::fprintf(stderr, "Not a correct cfg file\n");
    }
}
