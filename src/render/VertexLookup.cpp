#include "render/VertexLookup.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Twice the tolerance, so a query touches at most two cells per axis.
constexpr double cellSize = 0.02;
// Widens the query a little beyond the tolerance to absorb rounding of the differences.
constexpr double queryReach = vertexMergeTolerance + 0.001;
// Beyond this, neighbouring floats are farther apart than the tolerance anyway.
constexpr double cellLimit = 1e15;

std::int64_t cellCoordinate(double value) {
    return static_cast<std::int64_t>(
        std::clamp(std::floor(value / cellSize), -cellLimit, cellLimit));
}

bool isFinite(const glm::vec3& position) {
    return std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z);
}

} // namespace

std::size_t VertexLookup::CellHash::operator()(const Cell& cell) const {
    std::uint64_t hash = static_cast<std::uint64_t>(cell.x) * 0x9E3779B97F4A7C15ull;
    hash ^= static_cast<std::uint64_t>(cell.y) * 0xC2B2AE3D27D4EB4Full + (hash << 6) + (hash >> 2);
    hash ^= static_cast<std::uint64_t>(cell.z) * 0x165667B19E3779F9ull + (hash << 6) + (hash >> 2);
    return static_cast<std::size_t>(hash);
}

SimilarVertex VertexLookup::find(const glm::vec3& position, const glm::vec2& uv,
                                 const glm::vec3& normal, const IndexedVertices& vertices) const {
    // A coordinate that is not finite is never within the tolerance of anything.
    if (!isFinite(position)) {
        return {false, 0};
    }
    glm::dvec3 low = glm::dvec3(position) - queryReach;
    glm::dvec3 high = glm::dvec3(position) + queryReach;
    SimilarVertex best{false, std::numeric_limits<std::uint32_t>::max()};
    for (std::int64_t x = cellCoordinate(low.x); x <= cellCoordinate(high.x); ++x) {
        for (std::int64_t y = cellCoordinate(low.y); y <= cellCoordinate(high.y); ++y) {
            for (std::int64_t z = cellCoordinate(low.z); z <= cellCoordinate(high.z); ++z) {
                auto cell = cells.find(Cell{x, y, z});
                if (cell == cells.end()) {
                    continue;
                }
                // Each cell lists its vertices in increasing order: the first match is its lowest.
                for (std::uint32_t index : cell->second) {
                    if (index >= best.index) {
                        break;
                    }
                    if (isSimilarVertex(position, uv, normal, vertices.positions[index],
                                        vertices.uvs[index], vertices.normals[index])) {
                        best = {true, index};
                        break;
                    }
                }
            }
        }
    }
    return best.found ? best : SimilarVertex{false, 0};
}

void VertexLookup::add(const glm::vec3& position, std::uint32_t index) {
    if (!isFinite(position)) {
        return;
    }
    Cell cell{cellCoordinate(position.x), cellCoordinate(position.y), cellCoordinate(position.z)};
    cells[cell].push_back(index);
}
