#pragma once

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

// One face of a loaded mesh; corner k of the three arrays belongs to one vertex.
struct Triangle {
    glm::vec3 position[3];
    glm::vec2 uv[3];
    glm::vec3 normal[3];
};

static_assert(sizeof(Triangle) == 24 * sizeof(float), "a triangle is 24 packed floats");
