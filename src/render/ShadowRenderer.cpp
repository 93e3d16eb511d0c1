#include "render/ShadowRenderer.h"

#include "app/Console.h"
#include "render/FullScreenQuad.h"
#include "render/Shaders.h"
#include "scene/SceneObject.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

// Slightly off the vertical so that the view direction is never parallel to the up vector.
const glm::vec3 lightEye(-50.0f, 230.0f, 0.1f);
const glm::vec3 lightTarget(-50.0f, 0.0f, 0.0f);
const glm::vec3 lightUp(0.0f, 1.0f, 0.0f);

void defineDepthTexture() {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, ShadowRenderer::mapSize,
                 ShadowRenderer::mapSize, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
}

} // namespace

ShadowRenderer::ShadowRenderer() {
    createDepthTarget();
    loadPrograms();
    FullScreenQuad quad;
    quadVertexArray = quad.vertexArray;
    quadBuffer = quad.buffer;
}

void ShadowRenderer::createDepthTarget() {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    defineDepthTexture();
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        failStartup("Framebuffer fail...");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void ShadowRenderer::loadPrograms() {
    zBufferProgram = loadShaders("Shaders\\zBufferShader.vert", "Shaders\\zBufferShader.frag");
    zBufferMvpLocation = glGetUniformLocation(zBufferProgram, "MVP");
    depthViewProgram = loadShaders("Shaders\\Passthrough.vert", "Shaders\\DepthShader.frag");
    depthViewSamplerLocation = glGetUniformLocation(depthViewProgram, "tex");
    // The depth view linearises the perspective depth with the light's clip distances.
    glUseProgram(depthViewProgram);
    glUniform1f(glGetUniformLocation(depthViewProgram, "near_plane"), nearPlane);
    glUniform1f(glGetUniformLocation(depthViewProgram, "far_plane"), farPlane);
    glUseProgram(0);
}

void ShadowRenderer::beginShadowPass() {
    glEnable(GL_DEPTH_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, mapSize, mapSize);
    // Back faces only: the lit side of a caster must not shadow itself.
    glCullFace(GL_FRONT);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(4.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ShadowRenderer::updateLightMatrices(const glm::mat4& model) {
    shadowLightPosition = lightEye;
    lightProjection = glm::perspective(glm::quarter_pi<float>(), 1.0f, nearPlane, farPlane);
    lightView = glm::lookAt(shadowLightPosition, lightTarget, lightUp);
    lightSpaceMatrix = lightProjection * lightView;
    lightMvp = lightProjection * lightView * model;
}

void ShadowRenderer::drawIntoShadowMap(SceneObject& mesh) {
    glUseProgram(zBufferProgram);
    updateLightMatrices(mesh.modelMatrix);
    glUniformMatrix4fv(zBufferMvpLocation, 1, GL_FALSE, glm::value_ptr(lightMvp));
    glBindVertexArray(mesh.vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_SHORT,
                   nullptr);
    glBindVertexArray(0);
}

void ShadowRenderer::endShadowPass() {
    glDisable(GL_POLYGON_OFFSET_FILL);
    glCullFace(GL_BACK);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ShadowRenderer::drawDepthMap() {
    glViewport(0, 0, depthViewSize, depthViewSize);
    glUseProgram(depthViewProgram);
    glBindVertexArray(quadVertexArray);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    // Raw depth values for display; the lit draws need the comparison back afterwards.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    glUniform1i(depthViewSamplerLocation, 0);
    FullScreenQuad::drawBound();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_2D, 0);
}
