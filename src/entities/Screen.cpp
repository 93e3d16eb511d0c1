#include "entities/Screen.h"
#include "render/VertexAttribute.h"

#include "render/Mesh.h"
#include "render/Shaders.h"
#include "render/Textures.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <vector>

namespace {

// The picture covers the window through 12 triangles of the screen mesh.
constexpr GLsizei drawnVertices = 36;

} // namespace

Screen::Screen(std::string picturePath) : picturePath(std::move(picturePath)) {
    loadObj(*this, "Models\\Screen.obj");
}

void Screen::init() {
    program = loadShaders("Shaders\\Screen.vert", "Shaders\\Screen.frag");
    samplerLocation = glGetUniformLocation(program, "myTextureSampler");
    pictureTexture = loadBmpFromPath(picturePath);
    mvpLocation = glGetUniformLocation(program, "MVP");

    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    for (const Triangle& triangle : triangles) {
        positions.insert(positions.end(), std::begin(triangle.position),
                         std::end(triangle.position));
        uvs.insert(uvs.end(), std::begin(triangle.uv), std::end(triangle.uv));
    }
    vertexCount = static_cast<GLsizei>(positions.size());

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    uploadVertexAttribute(positionBuffer, 0, positions, 3);
    uploadVertexAttribute(uvBuffer, 1, uvs, 2);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

glm::mat4 Screen::fixedMvp() {
    glm::mat4 projection = glm::perspective(glm::radians(45.0f), 1.0f, 0.1f, 100.0f);
    glm::mat4 view = glm::translate(glm::mat4(1.0f), glm::vec3(0.055f, -0.115f, -3.4f));
    return projection * view * glm::mat4(1.0f);
}

void Screen::draw(glm::mat4, glm::mat4) {
    glm::mat4 mvp = fixedMvp();
    glUseProgram(program);
    glBindVertexArray(vertexArray);
    glUniformMatrix4fv(mvpLocation, 1, GL_FALSE, glm::value_ptr(mvp));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    glUniform1i(samplerLocation, 0);
    // A short mesh draws what it has rather than reading past its buffer.
    glDrawArrays(GL_TRIANGLES, 0, std::min(drawnVertices, vertexCount));
    glBindVertexArray(0);
    glUseProgram(0);
}
