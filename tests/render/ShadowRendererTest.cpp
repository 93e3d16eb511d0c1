#include "render/ShadowRenderer.h"
#include "app/Game.h"
#include "render/FullScreenQuad.h"
#include "render/LitDraw.h"
#include "render/Mesh.h"
#include "render/Shaders.h"
#include "scene/SceneObject.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <algorithm>
#include <cstring>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

constexpr int windowSize = 320;

// Two triangles spanning edges a and b from a corner, facing along cross(a, b).
void appendFace(std::vector<Triangle>& triangles, const glm::vec3& corner, const glm::vec3& a,
                const glm::vec3& b) {
    const glm::vec3 normal = glm::normalize(glm::cross(a, b));
    const glm::vec3 points[4] = {corner, corner + a, corner + a + b, corner + b};
    const glm::vec2 uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& triangleCorners : corners) {
        Triangle t{};
        for (int k = 0; k < 3; ++k) {
            t.position[k] = points[triangleCorners[k]];
            t.uv[k] = uvs[triangleCorners[k]];
            t.normal[k] = normal;
        }
        triangles.push_back(t);
    }
}

std::vector<Triangle> cubeTriangles(const glm::vec3& centre, float half) {
    std::vector<Triangle> triangles;
    const glm::vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            const glm::vec3 normal = axes[axis] * side;
            const glm::vec3 a = axes[(axis + 1) % 3] * (2.0f * half);
            const glm::vec3 b = glm::cross(normal, a);
            appendFace(triangles, centre + normal * half - 0.5f * a - 0.5f * b, a, b);
        }
    }
    return triangles;
}

// Faces up, as seen by an overhead light and camera.
std::vector<Triangle> floorTriangles(const glm::vec3& centre, float half) {
    std::vector<Triangle> triangles;
    const glm::vec3 a(0.0f, 0.0f, 2.0f * half);
    const glm::vec3 b(2.0f * half, 0.0f, 0.0f);
    appendFace(triangles, centre - 0.5f * a - 0.5f * b, a, b);
    return triangles;
}

void buildShadowMappedMesh(SceneObject& mesh, std::vector<Triangle> triangles) {
    mesh.triangles = std::move(triangles);
    flattenTriangles(mesh);
    uploadMesh(mesh);
    mesh.program =
        loadShaders("Shaders\\ShadowMappingShader.vert", "Shaders\\ShadowMappingShader.frag");
    mesh.diffuseSamplerLocation = glGetUniformLocation(mesh.program, "myTextureSampler");
}

GLuint whiteTexture() {
    const unsigned char white[4] = {255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::vector<float> depthTexels(GLuint texture) {
    std::vector<float> texels(static_cast<std::size_t>(ShadowRenderer::mapSize) *
                              ShadowRenderer::mapSize);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureParameter(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

std::vector<GLint> viewport() {
    std::vector<GLint> box(4);
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

// Runs with the game's fixed GL state and its data folder as working directory.
class ShadowPass : public ::testing::Test {
  protected:
    void SetUp() override {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        buildShadowMappedMesh(caster, cubeTriangles(glm::vec3(0.0f), 3.0f));
        caster.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(-50.0f, 20.0f, 0.0f));
    }

    GlContext context{windowSize, windowSize};
    WorkingDirectory cwd{VELMORA_DATA_DIR};
    ShadowRenderer renderer;
    SceneObject caster;
};

} // namespace

TEST_F(ShadowPass, DepthTargetIsACompleteComparingMapOfTheLightsSize) {
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.framebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, renderer.depthTexture);
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 1024);
    EXPECT_EQ(textureParameter(renderer.depthTexture, GL_TEXTURE_COMPARE_MODE),
              GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(textureParameter(renderer.depthTexture, GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);
    EXPECT_EQ(textureParameter(renderer.depthTexture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_BORDER);
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShadowPass, BeginSetsTheMapViewportFrontCullingAndOffset) {
    renderer.beginShadowPass();
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 1024, 1024}));
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_FRONT);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(renderer.framebuffer));
    GLfloat factor = 0.0f;
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    EXPECT_EQ(factor, 4.0f);
}

TEST_F(ShadowPass, EndRestoresBackCullingAndTheWindowButKeepsTheViewport) {
    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(integerState(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 1024, 1024}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShadowPass, LightMatricesAreIdentityUntilTheFirstDraw) {
    EXPECT_EQ(renderer.lightSpaceMatrix, glm::mat4(1.0f));
    EXPECT_EQ(renderer.shadowLightPosition, glm::vec3(0.0f));
    renderer.beginShadowPass();
    renderer.endShadowPass();
    EXPECT_EQ(renderer.lightSpaceMatrix, glm::mat4(1.0f));
    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    EXPECT_NE(renderer.lightSpaceMatrix, glm::mat4(1.0f));
    EXPECT_EQ(renderer.shadowLightPosition, glm::vec3(-50.0f, 230.0f, 0.1f));
}

TEST_F(ShadowPass, LightSpaceMatrixIsBitIdenticalAcrossDraws) {
    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    const glm::mat4 first = renderer.lightSpaceMatrix;
    caster.modelMatrix = glm::rotate(caster.modelMatrix, 1.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    EXPECT_EQ(std::memcmp(&first, &renderer.lightSpaceMatrix, sizeof(glm::mat4)), 0);
    const glm::mat4 expectedMvp = renderer.lightSpaceMatrix * caster.modelMatrix;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(renderer.lightMvp[column][row], expectedMvp[column][row], 1e-4f);
        }
    }
}

TEST_F(ShadowPass, AnObjectDrawnIntoTheMapChangesTheDepthTexture) {
    renderer.beginShadowPass();
    renderer.endShadowPass();
    const std::vector<float> cleared = depthTexels(renderer.depthTexture);
    EXPECT_TRUE(std::all_of(cleared.begin(), cleared.end(), [](float d) { return d == 1.0f; }));

    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    const std::vector<float> drawn = depthTexels(renderer.depthTexture);
    const std::size_t centre = 512 * 1024 + 512;
    EXPECT_LT(drawn[centre], 1.0f);
    EXPECT_EQ(drawn[0], 1.0f);
}

TEST_F(ShadowPass, DepthViewUsesTheCornerAndRestoresTheCompareMode) {
    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    renderer.drawDepthMap();
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 250, 250}));
    EXPECT_EQ(textureParameter(renderer.depthTexture, GL_TEXTURE_COMPARE_MODE),
              GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShadowPass, DepthViewProgramHoldsTheLightsClipDistances) {
    GLfloat nearPlane = 0.0f;
    GLfloat farPlane = 0.0f;
    glGetUniformfv(renderer.depthViewProgram,
                   glGetUniformLocation(renderer.depthViewProgram, "near_plane"), &nearPlane);
    glGetUniformfv(renderer.depthViewProgram,
                   glGetUniformLocation(renderer.depthViewProgram, "far_plane"), &farPlane);
    EXPECT_FLOAT_EQ(nearPlane, 0.1f);
    EXPECT_FLOAT_EQ(farPlane, 1000.0f);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
}

TEST_F(ShadowPass, DepthViewShowsGreyLevelsInTheCorner) {
    renderer.beginShadowPass();
    renderer.drawIntoShadowMap(caster);
    renderer.endShadowPass();
    glViewport(0, 0, windowSize, windowSize);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.drawDepthMap();
    const std::vector<std::uint8_t> pixels = context.readPixels();
    std::set<int> levels;
    for (int y = 0; y < 250; ++y) {
        for (int x = 0; x < 250; ++x) {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * windowSize + x) * 4];
            ASSERT_EQ(p[0], p[1]) << "at " << x << ", " << y;
            ASSERT_EQ(p[1], p[2]) << "at " << x << ", " << y;
            levels.insert(p[0]);
        }
    }
    EXPECT_GE(levels.size(), 2u);
    const std::uint8_t* outside = &pixels[(static_cast<std::size_t>(300) * windowSize + 300) * 4];
    EXPECT_EQ(outside[0], 255);
    EXPECT_EQ(outside[1], 0);
}

TEST_F(ShadowPass, CasterAboveAShadowMappedFloorDarkensIt) {
    SceneObject floor;
    buildShadowMappedMesh(floor, floorTriangles(glm::vec3(-50.0f, 0.0f, 0.0f), 20.0f));
    floor.diffuseTexture = whiteTexture();
    Game game;
    const glm::mat4 view = glm::lookAt(glm::vec3(-50.0f, 50.0f, 30.0f),
                                       glm::vec3(-50.0f, 0.0f, 0.0f), glm::vec3(0, 1, 0));
    const glm::mat4 projection = glm::perspective(glm::quarter_pi<float>(), 1.0f, 0.1f, 200.0f);
    const glm::vec4 window(0, 0, windowSize, windowSize);
    const glm::vec3 lit = glm::project(glm::vec3(-35.0f, 0.0f, 0.0f), view, projection, window);

    auto render = [&](bool withCaster) {
        renderer.beginShadowPass();
        if (withCaster) {
            renderer.drawIntoShadowMap(caster);
        }
        renderer.drawIntoShadowMap(floor);
        renderer.endShadowPass();
        glViewport(0, 0, windowSize, windowSize);
        glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawShadowMapped(game, floor, renderer, view, projection);
        return context.readPixels();
    };
    auto brightness = [](const std::vector<std::uint8_t>& pixels, int x, int y) {
        const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * windowSize + x) * 4];
        return p[0] + p[1] + p[2];
    };
    const int centre = windowSize / 2;
    const std::vector<std::uint8_t> open = render(false);
    const std::vector<std::uint8_t> shaded = render(true);
    const int litX = static_cast<int>(lit.x);
    const int litY = static_cast<int>(lit.y);

    EXPECT_GT(brightness(open, centre, centre), 0);
    EXPECT_LT(brightness(shaded, centre, centre), brightness(open, centre, centre) * 3 / 4);
    EXPECT_NEAR(brightness(shaded, litX, litY), brightness(open, litX, litY), 3);
}

TEST(ShadowFullScreenQuad, SixCornersCoverClipSpaceAtLocationZero) {
    const std::array<float, 18> expected{-1, -1, 0, 1, -1, 0, -1, 1, 0,
                                         -1, 1,  0, 1, -1, 0, 1,  1, 0};
    EXPECT_EQ(FullScreenQuad::corners, expected);
    GlContext context;
    FullScreenQuad quad;
    glBindVertexArray(quad.vertexArray);
    GLint enabled = 0;
    GLint size = 0;
    GLint buffer = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    EXPECT_EQ(enabled, GL_TRUE);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(buffer, static_cast<GLint>(quad.buffer));
    glBindBuffer(GL_ARRAY_BUFFER, quad.buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(bytes, 72);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
}
