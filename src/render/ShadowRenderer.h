#pragma once

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

class SceneObject;

// Depth map of the one overhead light, drawn each frame before the main pass, and the
// small on-screen view of that map.
class ShadowRenderer {
  public:
    static constexpr GLsizei mapSize = 1024;
    static constexpr GLsizei depthViewSize = 250;
    static constexpr float nearPlane = 0.1f;
    static constexpr float farPlane = 1000.0f;

    // Needs a current GL context; an incomplete depth target ends the program.
    ShadowRenderer();

    // Binds the depth target and sets the state of the pass.
    void beginShadowPass();
    void drawIntoShadowMap(SceneObject& mesh);
    // Restores the main pass's state; the viewport stays at the map size.
    void endShadowPass();
    // Shows the raw depth map in the lower-left corner of the bound framebuffer.
    void drawDepthMap();

    GLuint framebuffer = 0;
    GLuint depthTexture = 0;
    glm::mat4 lightProjection{1.0f};
    glm::mat4 lightView{1.0f};
    glm::mat4 lightSpaceMatrix{1.0f};
    glm::mat4 lightMvp{1.0f};
    glm::vec3 shadowLightPosition{0.0f};
    GLuint quadVertexArray = 0;
    GLuint zBufferProgram = 0;
    GLint zBufferMvpLocation = -1;
    GLuint depthViewProgram = 0;
    GLint depthViewSamplerLocation = -1;
    GLuint quadBuffer = 0;

  private:
    void createDepthTarget();
    void loadPrograms();
    void updateLightMatrices(const glm::mat4& model);
};
