#pragma once

#include "scene/App.h"
#include "scene/SceneObject.h"

#include <GL/glew.h>
#include <string>

// One full-window picture (intro, loading, win, game over), drawn instead of the world
// with fixed matrices, whatever the camera does.
class Screen : public App, public SceneObject {
  public:
    // Reads the screen mesh; the picture is loaded by init, once a GL context exists.
    explicit Screen(std::string picturePath);

    void init() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;

    // The matrices every screen is drawn with.
    static glm::mat4 fixedMvp();

    std::string picturePath;
    GLint samplerLocation = -1;
    GLuint pictureTexture = 0;
    GLint mvpLocation = -1;
    GLsizei vertexCount = 0;
};
