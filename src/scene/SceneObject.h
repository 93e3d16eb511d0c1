#pragma once

#include "scene/Node.h"

#include <GL/glew.h>
#include <cstdint>
#include <vector>

// A visible thing: one mesh, the arrays derived from it for drawing, its GL objects
// and the kind code the contact handling reads through collision user pointers.
class SceneObject : public Node {
public:
    std::vector<glm::vec3> collectVertices(std::vector<glm::vec3>& acc) override;
    std::vector<Triangle> collectTriangles(std::vector<Triangle>& acc) override;

    // Frees the GL objects while a context is current; at process end the driver does.
    void releaseGlObjects();

    // Takes the prototype's triangles and every list derived from them.
    void copyMeshFrom(const SceneObject& prototype);

    // Sampling switches of the diffuse texture. Callers pass the values from before
    // the toggle, so the texture takes the state that the toggle announces.
    void setTextureFilter(int mipmapMode, bool bilinear);
    void setMipmapMode(int mipmapMode, bool bilinear);

    std::vector<Triangle> triangles;

    std::vector<float> flatPositions;
    std::vector<float> flatUvs;
    std::vector<float> flatNormals;

    std::vector<glm::vec3> cornerTangents;
    std::vector<glm::vec3> cornerBitangents;

    std::vector<std::uint16_t> indices;
    std::vector<glm::vec3> indexedPositions;
    std::vector<glm::vec2> indexedUvs;
    std::vector<glm::vec3> indexedNormals;
    std::vector<glm::vec3> indexedTangents;
    std::vector<glm::vec3> indexedBitangents;

    GLuint vertexArray = 0;
    GLint diffuseSamplerLocation = -1;
    GLuint diffuseTexture = 0;
    GLuint normalTexture = 0;
    GLint normalSamplerLocation = -1;
    GLuint specularTexture = 0;
    GLint specularSamplerLocation = -1;
    GLuint positionBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint tangentBuffer = 0;
    GLuint bitangentBuffer = 0;
    GLuint program = 0;
    GLuint indexBuffer = 0;

    std::int32_t kind = 0;
};
