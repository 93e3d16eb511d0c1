#include "scene/SceneObject.h"

#include <GLFW/glfw3.h>

void SceneObject::releaseGlObjects() {
    const GLuint buffers[] = {positionBuffer, uvBuffer,        normalBuffer,
                              tangentBuffer,  bitangentBuffer, indexBuffer};
    const GLuint textures[] = {diffuseTexture, normalTexture, specularTexture};
    bool ownsGlObjects = vertexArray != 0 || program != 0;
    for (GLuint name : buffers) {
        ownsGlObjects = ownsGlObjects || name != 0;
    }
    if (!ownsGlObjects || !glfwGetCurrentContext()) {
        return;
    }
    glDeleteBuffers(6, buffers);
    glDeleteTextures(3, textures);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteProgram(program);
    vertexArray = program = 0;
    positionBuffer = uvBuffer = normalBuffer = tangentBuffer = bitangentBuffer = indexBuffer = 0;
    diffuseTexture = normalTexture = specularTexture = 0;
}

std::vector<glm::vec3> SceneObject::collectVertices(std::vector<glm::vec3>& acc) {
    Node::collectVertices(acc);
    for (const Triangle& triangle : triangles) {
        acc.insert(acc.end(), std::begin(triangle.position), std::end(triangle.position));
    }
    return acc;
}

std::vector<Triangle> SceneObject::collectTriangles(std::vector<Triangle>& acc) {
    Node::collectTriangles(acc);
    acc.insert(acc.end(), triangles.begin(), triangles.end());
    return acc;
}

void SceneObject::copyMeshFrom(const SceneObject& prototype) {
    triangles = prototype.triangles;
    flatPositions = prototype.flatPositions;
    flatUvs = prototype.flatUvs;
    flatNormals = prototype.flatNormals;
    cornerTangents = prototype.cornerTangents;
    cornerBitangents = prototype.cornerBitangents;
    indices = prototype.indices;
    indexedPositions = prototype.indexedPositions;
    indexedUvs = prototype.indexedUvs;
    indexedNormals = prototype.indexedNormals;
    indexedTangents = prototype.indexedTangents;
    indexedBitangents = prototype.indexedBitangents;
}

namespace {

struct FilterPair {
    GLint magnification;
    GLint minification;
};

// Rows: Linear, Nearest Neighbor, off. Columns: bilinear, nearest.
constexpr FilterPair filterTable[3][2] = {
    {{GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR}, {GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR}},
    {{GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST}, {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST}},
    {{GL_LINEAR, GL_LINEAR}, {GL_NEAREST, GL_NEAREST}},
};

bool isKnownMode(int mipmapMode) {
    return mipmapMode >= 0 && mipmapMode <= 2;
}

void applyFilters(int mipmapMode, bool bilinear) {
    const FilterPair& filters = filterTable[mipmapMode][bilinear ? 0 : 1];
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filters.magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filters.minification);
}

int nextMipmapMode(int mipmapMode) {
    return (mipmapMode + 1) % 3;
}

} // namespace

void SceneObject::setTextureFilter(int mipmapMode, bool bilinear) {
    glBindTexture(GL_TEXTURE_2D, diffuseTexture);
    if (isKnownMode(mipmapMode)) {
        applyFilters(mipmapMode, !bilinear);
    }
}

void SceneObject::setMipmapMode(int mipmapMode, bool bilinear) {
    glBindTexture(GL_TEXTURE_2D, diffuseTexture);
    if (isKnownMode(mipmapMode)) {
        applyFilters(nextMipmapMode(mipmapMode), bilinear);
    }
    glGenerateMipmap(GL_TEXTURE_2D);
}
