#pragma once

#include <glm/mat4x4.hpp>

// The interface the frame loop drives: every world object and picture screen.
// The operations are called on the main thread in this order within a frame.
class App {
public:
    virtual ~App() = default;

    virtual void init() = 0;
    virtual void update(double deltaSeconds) { (void)deltaSeconds; }
    virtual void drawShadow() {}
    virtual void draw(glm::mat4 view, glm::mat4 projection) {
        (void)view;
        (void)projection;
    }
    virtual void removeFromWorld() {}
    virtual void setTextureFilter(int mode, bool flag) {
        (void)mode;
        (void)flag;
    }
    virtual void setMipmapMode(int mode, bool flag) {
        (void)mode;
        (void)flag;
    }

    bool initialised = false;
};
