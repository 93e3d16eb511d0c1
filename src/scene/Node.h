#pragma once

#include "scene/Triangle.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <vector>

// A scene-graph node. Children are referenced, not owned.
class Node {
public:
    virtual ~Node() = default;

    // Children's points come first, then the node's own; returns a copy of the accumulator.
    virtual std::vector<glm::vec3> collectVertices(std::vector<glm::vec3>& acc);
    virtual std::vector<Triangle> collectTriangles(std::vector<Triangle>& acc);

    std::vector<Node*> children;
    glm::mat4 modelMatrix{1.0f};
};
