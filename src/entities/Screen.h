#pragma once

#include "scene/App.h"
#include "scene/SceneObject.h"

#include <string>

// One full-window picture (intro, loading, win, game over), drawn instead of the world.
class Screen : public App, public SceneObject {
  public:
    explicit Screen(std::string picturePath);

    void init() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;

    std::string picturePath;
};
