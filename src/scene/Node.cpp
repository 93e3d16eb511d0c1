#include "scene/Node.h"

std::vector<glm::vec3> Node::collectVertices(std::vector<glm::vec3>& acc) {
    for (Node* child : children) {
        child->collectVertices(acc);
    }
    return acc;
}

std::vector<Triangle> Node::collectTriangles(std::vector<Triangle>& acc) {
    for (Node* child : children) {
        child->collectTriangles(acc);
    }
    return acc;
}
