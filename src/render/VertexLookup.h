#pragma once

#include "render/Mesh.h"

#include <cstdint>
#include <glm/vec3.hpp>
#include <unordered_map>
#include <vector>

// Finds the lowest-numbered similar vertex without scanning every earlier one: vertices are
// filed under the cell of a coarse grid that holds their position, and a query visits only
// the cells that the merge tolerance around its position touches.
class VertexLookup {
  public:
    SimilarVertex find(const glm::vec3& position, const glm::vec2& uv, const glm::vec3& normal,
                       const IndexedVertices& vertices) const;
    void add(const glm::vec3& position, std::uint32_t index);

  private:
    struct Cell {
        std::int64_t x;
        std::int64_t y;
        std::int64_t z;
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& cell) const;
    };

    std::unordered_map<Cell, std::vector<std::uint32_t>, CellHash> cells;
};
