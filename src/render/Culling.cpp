#include "render/Culling.h"

#include "app/Game.h"
#include "scene/SceneObject.h"

#include <array>
#include <glm/common.hpp>
#include <glm/mat3x3.hpp>
#include <glm/vec4.hpp>
#include <vector>

namespace {

constexpr int cornerCount = 8;
constexpr int planeCount = 6;

std::array<glm::vec4, cornerCount> clipCorners(const glm::vec3& centre,
                                               const glm::vec3& halfExtent) {
    std::array<glm::vec4, cornerCount> corners;
    for (int i = 0; i < cornerCount; ++i) {
        const glm::vec3 sign((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f,
                             (i & 4) ? 1.0f : -1.0f);
        corners[i] = viewProjection * glm::vec4(centre + sign * halfExtent, 1.0f);
    }
    return corners;
}

// Planes in the order x > w, x < -w, y > w, y < -w, z > w, z < -w.
std::array<int, planeCount> countOutside(const std::array<glm::vec4, cornerCount>& corners) {
    std::array<int, planeCount> outside{};
    for (const glm::vec4& c : corners) {
        for (int axis = 0; axis < 3; ++axis) {
            outside[2 * axis] += c[axis] > c.w ? 1 : 0;
            outside[2 * axis + 1] += c[axis] < -c.w ? 1 : 0;
        }
    }
    return outside;
}

struct Bounds {
    glm::vec3 min;
    glm::vec3 max;
};

Bounds boundsOf(const std::vector<glm::vec3>& points) {
    Bounds bounds{points.front(), points.front()};
    for (const glm::vec3& p : points) {
        bounds.min = glm::min(bounds.min, p);
        bounds.max = glm::max(bounds.max, p);
    }
    return bounds;
}

// Largest reach of the rotated and scaled half-extent along each world axis.
glm::vec3 transformedHalfExtent(const glm::mat4& model, const glm::vec3& halfExtent) {
    const glm::mat3 linear(model);
    const glm::mat3 magnitude(glm::abs(linear[0]), glm::abs(linear[1]), glm::abs(linear[2]));
    return magnitude * halfExtent;
}

} // namespace

bool isBoxInFrustum(glm::vec3 centre, glm::vec3 halfExtent) {
    for (int count : countOutside(clipCorners(centre, halfExtent))) {
        if (count == cornerCount) {
            return false;
        }
    }
    return true;
}

CullingBox computeCullingBox(SceneObject& entity) {
    std::vector<glm::vec3> points;
    entity.collectVertices(points);
    const glm::mat4& model = entity.modelMatrix;
    if (points.empty()) {
        return CullingBox{glm::vec3(model[3]), glm::vec3(0.0f)};
    }
    const Bounds bounds = boundsOf(points);
    const glm::vec3 centre = (bounds.min + bounds.max) * 0.5f;
    const glm::vec3 halfExtent = (bounds.max - bounds.min) * 0.5f;
    return CullingBox{glm::vec3(model * glm::vec4(centre, 1.0f)),
                      transformedHalfExtent(model, halfExtent)};
}
