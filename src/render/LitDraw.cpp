#include "render/LitDraw.h"

#include "app/Game.h"
#include "app/World.h"
#include "render/ShadowRenderer.h"
#include "scene/Camera.h"
#include "scene/SceneObject.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>
#include <glm/mat3x3.hpp>

namespace {

// The normal-mapped light hangs this far below the ship so that it lights the tunnel floor.
constexpr float normalMapLightDrop = 10.0f;

constexpr GLint diffuseUnit = 0;
constexpr GLint normalUnit = 1;
constexpr GLint specularUnit = 2;
constexpr GLint shadowMappedShadowUnit = 1;
constexpr GLint combinedShadowUnit = 3;

glm::vec3 cameraPosition() {
    return currentCamera ? currentCamera->position : glm::vec3(0.0f);
}

void setMatrix(GLuint program, const char* name, const glm::mat4& value) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(value));
}

void setMatrix(GLuint program, const char* name, const glm::mat3& value) {
    glUniformMatrix3fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(value));
}

void setVector(GLuint program, const char* name, const glm::vec3& value) {
    glUniform3fv(glGetUniformLocation(program, name), 1, glm::value_ptr(value));
}

void bindTexture(GLint samplerLocation, GLint unit, GLuint texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(samplerLocation, unit);
}

void beginDraw(SceneObject& mesh) {
    glUseProgram(mesh.program);
    glBindVertexArray(mesh.vertexArray);
}

void setTransforms(const SceneObject& mesh, const glm::mat4& view, const glm::mat4& projection) {
    setMatrix(mesh.program, "MVP", projection * view * mesh.modelMatrix);
    setMatrix(mesh.program, "M", mesh.modelMatrix);
    setMatrix(mesh.program, "V", view);
}

void setShadowUniforms(const SceneObject& mesh, const ShadowRenderer& shadowRenderer) {
    setMatrix(mesh.program, "lightSpaceMatrix", shadowRenderer.lightSpaceMatrix);
    setVector(mesh.program, "lightPos", shadowRenderer.shadowLightPosition);
    setVector(mesh.program, "viewPos", cameraPosition());
}

void setNormalMapUniforms(const Game& game, const SceneObject& mesh, const glm::mat4& view) {
    setMatrix(mesh.program, "MV3x3", glm::mat3(view * mesh.modelMatrix));
    glm::vec3 light = game.lightPosition;
    light.y -= normalMapLightDrop;
    setVector(mesh.program, "LightPosition_worldspace", light);
    setVector(mesh.program, "CameraPosition", cameraPosition());
}

void bindMaterialTextures(const SceneObject& mesh) {
    bindTexture(mesh.diffuseSamplerLocation, diffuseUnit, mesh.diffuseTexture);
    bindTexture(mesh.normalSamplerLocation, normalUnit, mesh.normalTexture);
    bindTexture(mesh.specularSamplerLocation, specularUnit, mesh.specularTexture);
}

void bindShadowMap(const SceneObject& mesh, const ShadowRenderer& shadowRenderer, GLint unit) {
    bindTexture(glGetUniformLocation(mesh.program, "shadowMap"), unit, shadowRenderer.depthTexture);
}

void finishDraw(Game& game, const SceneObject& mesh) {
    const auto indexCount = static_cast<GLsizei>(mesh.indices.size());
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
    glUseProgram(0);
    game.objectCount += 1;
    game.polygonCount += indexCount / 3;
}

} // namespace

void drawShadowMapped(Game& game, SceneObject& mesh, ShadowRenderer& shadowRenderer, glm::mat4 view,
                      glm::mat4 projection) {
    beginDraw(mesh);
    setTransforms(mesh, view, projection);
    setShadowUniforms(mesh, shadowRenderer);
    bindTexture(mesh.diffuseSamplerLocation, diffuseUnit, mesh.diffuseTexture);
    bindShadowMap(mesh, shadowRenderer, shadowMappedShadowUnit);
    finishDraw(game, mesh);
}

void drawNormalMapped(Game& game, SceneObject& mesh, glm::mat4 view, glm::mat4 projection) {
    beginDraw(mesh);
    setTransforms(mesh, view, projection);
    setNormalMapUniforms(game, mesh, view);
    bindMaterialTextures(mesh);
    finishDraw(game, mesh);
}

void drawNormalShadowMapped(Game& game, SceneObject& mesh, ShadowRenderer& shadowRenderer,
                            glm::mat4 view, glm::mat4 projection) {
    beginDraw(mesh);
    setTransforms(mesh, view, projection);
    setNormalMapUniforms(game, mesh, view);
    setShadowUniforms(mesh, shadowRenderer);
    bindMaterialTextures(mesh);
    bindShadowMap(mesh, shadowRenderer, combinedShadowUnit);
    finishDraw(game, mesh);
}
