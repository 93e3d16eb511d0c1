#include "render/Mesh.h"
#include "render/VertexAttribute.h"

#include "render/AssetFile.h"
#include "render/Shaders.h"
#include "render/VertexLookup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <glm/geometric.hpp>

namespace {

struct ObjFace {
    int position[3];
    int uv[3];
    int normal[3];
};

struct ObjLists {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    std::vector<ObjFace> faces;
};

void printParserMessage() {
    std::printf("File can't be read by our simple parser : ( Try exporting with other options\n");
}

// A short read leaves the missing values at 0.
glm::vec3 readVec3(std::FILE* file) {
    glm::vec3 value(0.0f);
    [[maybe_unused]] int converted = std::fscanf(file, "%f %f %f\n", &value.x, &value.y, &value.z);
    return value;
}

glm::vec2 readVec2(std::FILE* file) {
    glm::vec2 value(0.0f);
    [[maybe_unused]] int converted = std::fscanf(file, "%f %f\n", &value.x, &value.y);
    return value;
}

bool readFace(std::FILE* file, ObjLists& lists) {
    ObjFace face{};
    int converted = std::fscanf(file, "%d/%d/%d %d/%d/%d %d/%d/%d\n", &face.position[0],
                                &face.uv[0], &face.normal[0], &face.position[1], &face.uv[1],
                                &face.normal[1], &face.position[2], &face.uv[2], &face.normal[2]);
    if (converted != 9) {
        return false;
    }
    lists.faces.push_back(face);
    return true;
}

// Returns false at the first face that this reader cannot take.
bool readObjLists(std::FILE* file, ObjLists& lists) {
    // Longer tokens are read in 127-character pieces, each piece a token of its own.
    char token[128];
    while (std::fscanf(file, "%127s", token) == 1) {
        std::string word(token);
        if (word == "v") {
            lists.positions.push_back(readVec3(file));
        } else if (word == "vt") {
            lists.uvs.push_back(readVec2(file));
        } else if (word == "vn") {
            lists.normals.push_back(readVec3(file));
        } else if (word == "f" && !readFace(file, lists)) {
            return false;
        }
    }
    return true;
}

bool isListIndex(int index, std::size_t listSize) {
    return index >= 1 && static_cast<std::size_t>(index) <= listSize;
}

bool facesAreInRange(const ObjLists& lists) {
    for (const ObjFace& face : lists.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            if (!isListIndex(face.position[corner], lists.positions.size()) ||
                !isListIndex(face.uv[corner], lists.uvs.size()) ||
                !isListIndex(face.normal[corner], lists.normals.size())) {
                return false;
            }
        }
    }
    return true;
}

void appendTriangles(const ObjLists& lists, std::vector<Triangle>& triangles) {
    for (const ObjFace& face : lists.faces) {
        Triangle triangle;
        for (int corner = 0; corner < 3; ++corner) {
            triangle.position[corner] = lists.positions[face.position[corner] - 1];
            triangle.uv[corner] = lists.uvs[face.uv[corner] - 1];
            triangle.normal[corner] = lists.normals[face.normal[corner] - 1];
        }
        triangles.push_back(triangle);
    }
}

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Some unit vector perpendicular to the given direction (any unit vector if it has none).
glm::vec3 perpendicularTo(const glm::vec3& direction) {
    if (!isFinite(direction) || glm::length(direction) < 1e-12f) {
        return glm::vec3(1.0f, 0.0f, 0.0f);
    }
    glm::vec3 axis =
        std::fabs(direction.x) < std::fabs(direction.y) ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
    if (std::fabs(direction.z) < std::min(std::fabs(direction.x), std::fabs(direction.y))) {
        axis = glm::vec3(0, 0, 1);
    }
    return glm::normalize(glm::cross(direction, axis));
}

struct TangentFrame {
    glm::vec3 tangent;
    glm::vec3 bitangent;
};

// Without a usable uv mapping there is no texture direction to follow; any frame in the
// triangle's plane keeps the lighting finite instead of spreading NaNs to shared vertices.
TangentFrame fallbackFrame(const glm::vec3 (&p)[3], const glm::vec3& normal) {
    glm::vec3 faceNormal = glm::cross(p[1] - p[0], p[2] - p[0]);
    glm::vec3 up = isFinite(faceNormal) && glm::length(faceNormal) > 1e-12f ? faceNormal : normal;
    glm::vec3 tangent = perpendicularTo(up);
    glm::vec3 bitangent = isFinite(up) && glm::length(up) > 1e-12f
                              ? glm::normalize(glm::cross(up, tangent))
                              : perpendicularTo(tangent);
    return {tangent, bitangent};
}

TangentFrame triangleFrame(const glm::vec3 (&p)[3], const glm::vec2 (&t)[3],
                           const glm::vec3& normal) {
    glm::vec3 deltaPosition1 = p[1] - p[0];
    glm::vec3 deltaPosition2 = p[2] - p[0];
    glm::vec2 deltaUv1 = t[1] - t[0];
    glm::vec2 deltaUv2 = t[2] - t[0];
    float determinant = deltaUv1.x * deltaUv2.y - deltaUv1.y * deltaUv2.x;
    if (determinant == 0.0f) {
        return fallbackFrame(p, normal);
    }
    float r = 1.0f / determinant;
    glm::vec3 tangent = (deltaPosition1 * deltaUv2.y - deltaPosition2 * deltaUv1.y) * r;
    glm::vec3 bitangent = (deltaPosition2 * deltaUv1.x - deltaPosition1 * deltaUv2.x) * r;
    if (!isFinite(tangent) || !isFinite(bitangent)) {
        return fallbackFrame(p, normal);
    }
    return {tangent, bitangent};
}

glm::vec3 orthogonalTangent(const glm::vec3& normal, const glm::vec3& tangent,
                            const glm::vec3& bitangent) {
    glm::vec3 inPlane = tangent - normal * glm::dot(normal, tangent);
    float length = glm::length(inPlane);
    glm::vec3 result =
        isFinite(inPlane) && length > 1e-12f ? inPlane / length : perpendicularTo(normal);
    if (glm::dot(glm::cross(normal, result), bitangent) < 0.0f) {
        result = -result;
    }
    return result;
}

VertexCorners cornersOf(const std::vector<Triangle>& triangles) {
    VertexCorners corners;
    for (const Triangle& triangle : triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            corners.positions.push_back(triangle.position[corner]);
            corners.uvs.push_back(triangle.uv[corner]);
            corners.normals.push_back(triangle.normal[corner]);
        }
    }
    return corners;
}

// Every list must hold one entry per corner, or the walk would read past the shorter ones.
bool cornerListsMatch(const VertexCorners& corners) {
    std::size_t count = corners.positions.size();
    return corners.uvs.size() == count && corners.normals.size() == count &&
           corners.tangents.size() == count && corners.bitangents.size() == count;
}

// The shared walk of both indexers; only the search for an earlier similar vertex differs.
template <typename FindSimilar, typename Remember>
bool mergeCorners(const VertexCorners& corners, IndexedVertices& result, FindSimilar findSimilar,
                  Remember remember) {
    result = IndexedVertices{};
    if (!cornerListsMatch(corners)) {
        return false;
    }
    for (std::size_t i = 0; i < corners.positions.size(); ++i) {
        SimilarVertex similar = findSimilar(i);
        if (similar.found) {
            result.indices.push_back(static_cast<std::uint16_t>(similar.index));
            result.tangents[similar.index] += corners.tangents[i];
            result.bitangents[similar.index] += corners.bitangents[i];
            continue;
        }
        if (result.positions.size() == maxIndexedVertices) {
            result = IndexedVertices{};
            return false;
        }
        auto index = static_cast<std::uint32_t>(result.positions.size());
        result.positions.push_back(corners.positions[i]);
        result.uvs.push_back(corners.uvs[i]);
        result.normals.push_back(corners.normals[i]);
        result.tangents.push_back(corners.tangents[i]);
        result.bitangents.push_back(corners.bitangents[i]);
        result.indices.push_back(static_cast<std::uint16_t>(index));
        remember(i, index);
    }
    return true;
}

} // namespace

bool loadObj(SceneObject& object, const std::string& path) {
    std::FILE* file = openAsset(path, "r");
    if (!file) {
        std::printf("Impossible to open the file !\n");
        return false;
    }
    ObjLists lists;
    bool readable = readObjLists(file, lists) && facesAreInRange(lists);
    std::fclose(file);
    if (!readable) {
        printParserMessage();
        return false;
    }
    appendTriangles(lists, object.triangles);
    return true;
}

void flattenTriangles(SceneObject& object) {
    object.flatNormals.clear();
    object.flatUvs.clear();
    object.flatPositions.clear();
    for (const Triangle& triangle : object.triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            const glm::vec3& normal = triangle.normal[corner];
            object.flatNormals.insert(object.flatNormals.end(), {normal.x, normal.y, normal.z});
            const glm::vec2& uv = triangle.uv[corner];
            object.flatUvs.insert(object.flatUvs.end(), {uv.x, uv.y});
            const glm::vec3& position = triangle.position[corner];
            object.flatPositions.insert(object.flatPositions.end(),
                                        {position.x, position.y, position.z});
        }
    }
}

void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                     const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangentsOut,
                     std::vector<glm::vec3>& bitangentsOut) {
    std::size_t cornerCount = std::min({positions.size(), uvs.size(), normals.size()}) / 3 * 3;
    std::size_t first = tangentsOut.size();
    for (std::size_t i = 0; i < cornerCount; i += 3) {
        const glm::vec3 p[3] = {positions[i], positions[i + 1], positions[i + 2]};
        const glm::vec2 t[3] = {uvs[i], uvs[i + 1], uvs[i + 2]};
        TangentFrame frame = triangleFrame(p, t, normals[i]);
        tangentsOut.insert(tangentsOut.end(), 3, frame.tangent);
        bitangentsOut.insert(bitangentsOut.end(), 3, frame.bitangent);
    }
    for (std::size_t i = 0; i < cornerCount; ++i) {
        glm::vec3& tangent = tangentsOut[first + i];
        tangent = orthogonalTangent(normals[i], tangent, bitangentsOut[first + i]);
    }
}

bool isSimilarVertex(const glm::vec3& position, const glm::vec2& uv, const glm::vec3& normal,
                     const glm::vec3& otherPosition, const glm::vec2& otherUv,
                     const glm::vec3& otherNormal) {
    auto near = [](float a, float b) { return std::fabs(a - b) < vertexMergeTolerance; };
    return near(position.x, otherPosition.x) && near(position.y, otherPosition.y) &&
           near(position.z, otherPosition.z) && near(uv.x, otherUv.x) && near(uv.y, otherUv.y) &&
           near(normal.x, otherNormal.x) && near(normal.y, otherNormal.y) &&
           near(normal.z, otherNormal.z);
}

SimilarVertex findSimilarVertex(const glm::vec3& position, const glm::vec2& uv,
                                const glm::vec3& normal, const std::vector<glm::vec3>& positions,
                                const std::vector<glm::vec2>& uvs,
                                const std::vector<glm::vec3>& normals) {
    std::size_t count = std::min({positions.size(), uvs.size(), normals.size()});
    for (std::size_t i = 0; i < count; ++i) {
        if (isSimilarVertex(position, uv, normal, positions[i], uvs[i], normals[i])) {
            return {true, static_cast<std::uint32_t>(i)};
        }
    }
    return {false, 0};
}

bool indexVerticesLinear(const VertexCorners& corners, IndexedVertices& result) {
    return mergeCorners(
        corners, result,
        [&](std::size_t i) {
            return findSimilarVertex(corners.positions[i], corners.uvs[i], corners.normals[i],
                                     result.positions, result.uvs, result.normals);
        },
        [](std::size_t, std::uint32_t) {});
}

bool indexVertices(const VertexCorners& corners, IndexedVertices& result) {
    VertexLookup lookup;
    return mergeCorners(
        corners, result,
        [&](std::size_t i) {
            return lookup.find(corners.positions[i], corners.uvs[i], corners.normals[i], result);
        },
        [&](std::size_t i, std::uint32_t index) { lookup.add(corners.positions[i], index); });
}

bool prepareMesh(SceneObject& object) {
    VertexCorners corners = cornersOf(object.triangles);
    computeTangents(corners.positions, corners.uvs, corners.normals, corners.tangents,
                    corners.bitangents);
    IndexedVertices indexed;
    bool fits = indexVertices(corners, indexed);
    if (!fits) {
        std::printf("Mesh needs more than %zu distinct vertices; it is left empty\n",
                    maxIndexedVertices);
    }
    object.cornerTangents = std::move(corners.tangents);
    object.cornerBitangents = std::move(corners.bitangents);
    object.indices = std::move(indexed.indices);
    object.indexedPositions = std::move(indexed.positions);
    object.indexedUvs = std::move(indexed.uvs);
    object.indexedNormals = std::move(indexed.normals);
    object.indexedTangents = std::move(indexed.tangents);
    object.indexedBitangents = std::move(indexed.bitangents);
    return fits;
}

void uploadMesh(SceneObject& object) {
    object.program = loadShaders("Shaders\\BasicShader.vert", "Shaders\\BasicShader.frag");
    object.diffuseSamplerLocation = glGetUniformLocation(object.program, "myTextureSampler");
    object.normalSamplerLocation = glGetUniformLocation(object.program, "myNormalSampler");

    prepareMesh(object);

    glGenVertexArrays(1, &object.vertexArray);
    glBindVertexArray(object.vertexArray);
    uploadVertexAttribute(object.positionBuffer, 0, object.indexedPositions, 3);
    uploadVertexAttribute(object.uvBuffer, 1, object.indexedUvs, 2);
    uploadVertexAttribute(object.normalBuffer, 2, object.indexedNormals, 3);
    uploadVertexAttribute(object.tangentBuffer, 3, object.indexedTangents, 3);
    uploadVertexAttribute(object.bitangentBuffer, 4, object.indexedBitangents, 3);

    glGenBuffers(1, &object.indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(object.indices.size() * sizeof(std::uint16_t)),
                 object.indices.data(), GL_STATIC_DRAW);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
