#include "app/Game.h"
#include "app/InputClock.h"
#include "audio/Sound.h"
#include "scene/App.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void announce(bool on, const char* whenOn, const char* whenOff) {
    std::printf("%s", on ? whenOn : whenOff);
}

void toggleSound(Game&) {
    soundOn = !soundOn;
    // Flips the channel rather than following soundOn; both agree when music started unmuted.
    flipMusicPause();
}

void toggleBloom(Game& game) {
    game.flash = !game.flash;
    announce(game.flash, "Bloom: on\n", "Bloom: off\n");
}

void toggleDepthMapView(Game& game) {
    game.depthMapView = !game.depthMapView;
    announce(game.depthMapView, "Render depth map to screen: on!\n",
             "Render depth map to screen: off!\n");
}

void togglePause(Game& game) {
    game.paused = !game.paused;
    const double now = inputClock().time();
    if (game.paused) {
        game.pauseSecond = static_cast<std::int32_t>(now);
    } else {
        // The paused seconds are granted back, so the time left resumes where it stood.
        game.timeLimit = static_cast<std::int32_t>(now - game.pauseSecond + game.timeLimit);
    }
    announce(game.paused, "Game paused!\n", "Game running!\n");
}

void toggleFps(Game& game) {
    game.showFps = !game.showFps;
    announce(game.showFps, "Show FPS: on\n", "Show FPS: off\n");
}

void toggleWireframe(Game& game) {
    game.wireframe = !game.wireframe;
    glPolygonMode(GL_FRONT_AND_BACK, game.wireframe ? GL_LINE : GL_FILL);
    announce(game.wireframe, "Wireframe Mode: on\n", "Wireframe Mode: off\n");
}

void toggleSamplingQuality(Game& game) {
    // Objects take the state from before the toggle and apply the one it leads to.
    for (App* object : game.objects) {
        object->setTextureFilter(game.mipmapMode, game.bilinear);
    }
    game.bilinear = !game.bilinear;
    announce(game.bilinear, "TSQ: Bilinear\n", "TSQ: Linear\n");
}

void stepMipmapMode(Game& game) {
    // As with sampling quality, objects are given the mode they step from.
    for (App* object : game.objects) {
        object->setMipmapMode(game.mipmapMode, game.bilinear);
    }
    constexpr std::array<const char*, 3> messages = {
        "Mipmap Mode: Linear\n", "Mipmap Mode: Nearest Neighbor\n", "Mipmap Mode: off\n"};
    game.mipmapMode = (game.mipmapMode + 1) % 3;
    std::printf("%s", messages[static_cast<std::size_t>(game.mipmapMode)]);
}

void toggleFrustumCulling(Game& game) {
    game.frustumCulling = !game.frustumCulling;
    announce(game.frustumCulling, "View Frustum Culling: on\n", "View Frustum Culling: off\n");
}

void toggleTransparency(Game& game) {
    game.transparency = !game.transparency;
    announce(game.transparency, "Transparency: on\n", "Transparency: off\n");
}

struct KeyToggle {
    int key;
    // Index into Game::keyLatch, whose order differs from the processing order.
    std::size_t latch;
    void (*act)(Game&);
};

constexpr std::array<KeyToggle, 10> keyToggles = {{
    {GLFW_KEY_M, 1, toggleSound},
    {GLFW_KEY_B, 0, toggleBloom},
    {GLFW_KEY_Z, 2, toggleDepthMapView},
    {GLFW_KEY_F1, 3, togglePause},
    {GLFW_KEY_F2, 4, toggleFps},
    {GLFW_KEY_F3, 5, toggleWireframe},
    {GLFW_KEY_F4, 6, toggleSamplingQuality},
    {GLFW_KEY_F5, 7, stepMipmapMode},
    {GLFW_KEY_F8, 8, toggleFrustumCulling},
    {GLFW_KEY_F9, 9, toggleTransparency},
}};

} // namespace

void Game::handleKeys() {
    for (const KeyToggle& toggle : keyToggles) {
        bool& latched = keyLatch[toggle.latch];
        if (keyPressed(toggle.key) && !latched) {
            latched = true;
            toggle.act(*this);
        }
        // Only a frame that sees the key released lets it act again.
        if (!keyPressed(toggle.key) && latched) {
            latched = false;
        }
    }
}
