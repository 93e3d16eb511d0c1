// Times loading and preparing one mesh: the OBJ reader, then vertex merging with the plain
// linear search and with the spatial hash the game uses. Needs no window.
//
//   mesh_benchmark [mesh.obj | --grid]
//
// Without an argument it takes data/Models/Levels/level.obj when present, otherwise a
// generated grid of about 20,000 triangles.

#include "render/Mesh.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr const char* defaultLevel = "data/Models/Levels/level.obj";

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A wavy height field, so neighbouring triangles share corners the way a real level does.
void buildGrid(SceneObject& object, int cellsPerSide) {
    auto point = [&](int x, int z) {
        float height = 0.3f * static_cast<float>((x * 7 + z * 13) % 5);
        return glm::vec3(static_cast<float>(x), height, static_cast<float>(z));
    };
    auto uv = [&](int x, int z) {
        return glm::vec2(static_cast<float>(x), static_cast<float>(z)) /
               static_cast<float>(cellsPerSide);
    };
    for (int z = 0; z < cellsPerSide; ++z) {
        for (int x = 0; x < cellsPerSide; ++x) {
            const int corners[2][3][2] = {{{x, z}, {x, z + 1}, {x + 1, z + 1}},
                                          {{x, z}, {x + 1, z + 1}, {x + 1, z}}};
            for (const auto& face : corners) {
                Triangle triangle{};
                for (int k = 0; k < 3; ++k) {
                    triangle.position[k] = point(face[k][0], face[k][1]);
                    triangle.uv[k] = uv(face[k][0], face[k][1]);
                    triangle.normal[k] = glm::vec3(0, 1, 0);
                }
                object.triangles.push_back(triangle);
            }
        }
    }
}

VertexCorners cornersWithTangents(const SceneObject& object) {
    VertexCorners corners;
    for (const Triangle& triangle : object.triangles) {
        for (int k = 0; k < 3; ++k) {
            corners.positions.push_back(triangle.position[k]);
            corners.uvs.push_back(triangle.uv[k]);
            corners.normals.push_back(triangle.normal[k]);
        }
    }
    computeTangents(corners.positions, corners.uvs, corners.normals, corners.tangents,
                    corners.bitangents);
    return corners;
}

} // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : defaultLevel;
    bool useGrid = path == "--grid" || (argc == 1 && !std::filesystem::exists(path));
    SceneObject object;
    auto start = std::chrono::steady_clock::now();
    if (!useGrid) {
        if (!loadObj(object, path)) {
            return 1;
        }
        std::printf("mesh: %s\n", path.c_str());
        std::printf("loadObj: %.1f ms\n", millisecondsSince(start));
    } else {
        buildGrid(object, 100);
        std::printf("mesh: generated grid\n");
    }
    std::printf("triangles: %zu\n", object.triangles.size());

    VertexCorners corners = cornersWithTangents(object);
    IndexedVertices linear;
    start = std::chrono::steady_clock::now();
    bool linearFits = indexVerticesLinear(corners, linear);
    double linearMs = millisecondsSince(start);

    IndexedVertices hashed;
    start = std::chrono::steady_clock::now();
    bool hashedFits = indexVertices(corners, hashed);
    double hashedMs = millisecondsSince(start);

    start = std::chrono::steady_clock::now();
    prepareMesh(object);
    double prepareMs = millisecondsSince(start);

    std::printf("distinct vertices: %zu%s\n", hashed.positions.size(),
                hashedFits ? "" : " (refused: beyond 16-bit indices)");
    std::printf("indexVertices, linear search: %.1f ms\n", linearMs);
    std::printf("indexVertices, spatial hash: %.1f ms\n", hashedMs);
    std::printf("prepareMesh (tangents + hash): %.1f ms\n", prepareMs);
    bool same = linearFits == hashedFits && linear.indices == hashed.indices &&
                linear.positions == hashed.positions && linear.tangents == hashed.tangents;
    std::printf("results identical: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
