#pragma once

#include "scene/SceneObject.h"

#include <cstddef>
#include <cstdint>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <string>
#include <vector>

// 16-bit indices address at most this many distinct vertices.
constexpr std::size_t maxIndexedVertices = 65536;
// Corners closer than this in every component of position, uv and normal are merged.
constexpr float vertexMergeTolerance = 0.01f;

// Attributes per triangle corner, three corners per triangle in triangle order.
struct VertexCorners {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
};

// Distinct vertices and the index of each corner into them.
struct IndexedVertices {
    std::vector<std::uint16_t> indices;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
};

struct SimilarVertex {
    bool found;
    std::uint32_t index;
};

// Appends the triangles of a Wavefront OBJ file; false (nothing appended) when the file
// is missing or uses a face syntax or index this reader does not take.
bool loadObj(SceneObject& object, const std::string& path);

// Rebuilds flatNormals, flatUvs and flatPositions from the triangle list.
void flattenTriangles(SceneObject& object);

// Appends one tangent and bitangent per corner; tangents come out unit length and
// perpendicular to their corner's normal, also for triangles with degenerate uvs.
void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                     const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangentsOut,
                     std::vector<glm::vec3>& bitangentsOut);

bool isSimilarVertex(const glm::vec3& position, const glm::vec2& uv, const glm::vec3& normal,
                     const glm::vec3& otherPosition, const glm::vec2& otherUv,
                     const glm::vec3& otherNormal);

// Lowest index of a listed vertex similar to the given one.
SimilarVertex findSimilarVertex(const glm::vec3& position, const glm::vec2& uv,
                                const glm::vec3& normal, const std::vector<glm::vec3>& positions,
                                const std::vector<glm::vec2>& uvs,
                                const std::vector<glm::vec3>& normals);

// Merges similar corners, summing the tangents of merged corners. Both give the same
// result; the linear one is the plain reference search, quadratic in the corner count.
// False, with an empty result, when more than maxIndexedVertices vertices would remain.
bool indexVertices(const VertexCorners& corners, IndexedVertices& result);
bool indexVerticesLinear(const VertexCorners& corners, IndexedVertices& result);

// Derives the tangents and the indexed vertex lists from the object's own triangles.
// False, with empty lists and a message, when the mesh needs too many vertices.
bool prepareMesh(SceneObject& object);

// Default program, preparation and upload of the indexed lists into a vertex array:
// locations 0 position, 1 uv, 2 normal, 3 tangent, 4 bitangent.
void uploadMesh(SceneObject& object);
