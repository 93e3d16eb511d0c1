#pragma once

#include <GL/glew.h>
#include <vector>

// Creates a buffer holding `values`, tightly packed floats, and feeds it to the attribute
// `location` of the bound vertex array.
template <typename T>
void uploadVertexAttribute(GLuint& buffer, GLuint location, const std::vector<T>& values,
                           GLint components) {
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(T)), values.data(),
                 GL_STATIC_DRAW);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(location);
}
