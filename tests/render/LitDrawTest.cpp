#include "render/LitDraw.h"
#include "app/Game.h"
#include "app/World.h"
#include "render/Mesh.h"
#include "render/Shaders.h"
#include "render/ShadowRenderer.h"
#include "scene/Camera.h"
#include "scene/SceneObject.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int windowSize = 64;
constexpr int gridSide = 10;

// One hundred separate triangles in a 10 x 10 grid on the plane z = 0, facing +z.
std::vector<Triangle> gridTriangles() {
    std::vector<Triangle> triangles;
    for (int row = 0; row < gridSide; ++row) {
        for (int column = 0; column < gridSide; ++column) {
            const glm::vec3 corner(column - gridSide / 2.0f, row - gridSide / 2.0f, 0.0f);
            Triangle t{};
            t.position[0] = corner;
            t.position[1] = corner + glm::vec3(1.0f, 0.0f, 0.0f);
            t.position[2] = corner + glm::vec3(0.0f, 1.0f, 0.0f);
            t.uv[1] = glm::vec2(1.0f, 0.0f);
            t.uv[2] = glm::vec2(0.0f, 1.0f);
            for (glm::vec3& normal : t.normal) {
                normal = glm::vec3(0.0f, 0.0f, 1.0f);
            }
            triangles.push_back(t);
        }
    }
    return triangles;
}

void buildMesh(SceneObject& mesh, const std::string& programName) {
    mesh.triangles = gridTriangles();
    flattenTriangles(mesh);
    uploadMesh(mesh);
    mesh.program =
        loadShaders("Shaders\\" + programName + ".vert", "Shaders\\" + programName + ".frag");
}

void useShadowMappedProgram(SceneObject& mesh) {
    buildMesh(mesh, "ShadowMappingShader");
    mesh.diffuseSamplerLocation = glGetUniformLocation(mesh.program, "myTextureSampler");
}

void useNormalMappedProgram(SceneObject& mesh, const std::string& programName) {
    buildMesh(mesh, programName);
    mesh.diffuseSamplerLocation = glGetUniformLocation(mesh.program, "DiffuseTextureSampler");
    mesh.normalSamplerLocation = glGetUniformLocation(mesh.program, "NormalTextureSampler");
    mesh.specularSamplerLocation = glGetUniformLocation(mesh.program, "SpecularTextureSampler");
}

glm::vec3 uniformVector(GLuint program, const char* name) {
    const GLint location = glGetUniformLocation(program, name);
    EXPECT_NE(location, -1) << name;
    glm::vec3 value(-99.0f);
    glGetUniformfv(program, location, glm::value_ptr(value));
    return value;
}

glm::mat4 uniformMatrix(GLuint program, const char* name) {
    const GLint location = glGetUniformLocation(program, name);
    EXPECT_NE(location, -1) << name;
    glm::mat4 value(-99.0f);
    glGetUniformfv(program, location, glm::value_ptr(value));
    return value;
}

GLint uniformInteger(GLuint program, GLint location) {
    GLint value = -99;
    glGetUniformiv(program, location, &value);
    return value;
}

GLint integerState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureOnUnit(GLint unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    return integerState(GL_TEXTURE_BINDING_2D);
}

int pixelsOtherThanGrey(const std::vector<std::uint8_t>& rgba, std::uint8_t grey) {
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const bool isGrey = rgba[i] == grey && rgba[i + 1] == grey && rgba[i + 2] == grey;
        count += isGrey ? 0 : 1;
    }
    return count;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(actual[column][row], expected[column][row], 1e-4f)
                << "column " << column << " row " << row;
        }
    }
}

enum Family { ShadowMapped, NormalMapped, Combined };
constexpr Family allFamilies[] = {ShadowMapped, NormalMapped, Combined};

// Draws with the game's data folder, a camera that currentCamera points at and a shadow
// renderer whose light matrices are already set by one shadow pass.
class LitDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        currentCamera = &camera;
        camera.position = glm::vec3(1.0f, 2.0f, 10.0f);
        view = glm::lookAt(camera.position, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
        projection = glm::perspective(glm::quarter_pi<float>(), 1.0f, 0.1f, 100.0f);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override { currentCamera = nullptr; }

    void castShadowOf(SceneObject& mesh) {
        shadowRenderer.beginShadowPass();
        shadowRenderer.drawIntoShadowMap(mesh);
        shadowRenderer.endShadowPass();
        glViewport(0, 0, windowSize, windowSize);
    }

    static void prepare(SceneObject& target, Family family) {
        if (family == ShadowMapped) {
            useShadowMappedProgram(target);
        } else {
            useNormalMappedProgram(target,
                                   family == NormalMapped ? "NormalMapping" : "SatelliteShader");
        }
    }

    void draw(SceneObject& target, Family family) {
        if (family == ShadowMapped) {
            drawShadowMapped(game, target, shadowRenderer, view, projection);
        } else if (family == NormalMapped) {
            drawNormalMapped(game, target, view, projection);
        } else {
            drawNormalShadowMapped(game, target, shadowRenderer, view, projection);
        }
    }

    GlContext context{windowSize, windowSize};
    WorkingDirectory cwd{VELMORA_DATA_DIR};
    ShadowRenderer shadowRenderer;
    Game game;
    Camera camera{&game};
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    SceneObject mesh;
};

} // namespace

TEST_F(LitDraw, EachDrawCountsOneObjectAndItsTriangles) {
    for (Family family : allFamilies) {
        SceneObject counted;
        prepare(counted, family);
        ASSERT_EQ(counted.indices.size(), 300u);
        game.polygonCount = 0;
        game.objectCount = 0;
        draw(counted, family);
        draw(counted, family);
        EXPECT_EQ(game.polygonCount, 200) << family;
        EXPECT_EQ(game.objectCount, 2) << family;
    }
}

TEST_F(LitDraw, NormalMappedLightHangsTenBelowTheShip) {
    useNormalMappedProgram(mesh, "NormalMapping");
    game.lightPosition = glm::vec3(3.0f, 12.0f, -4.0f);
    drawNormalMapped(game, mesh, view, projection);
    EXPECT_EQ(uniformVector(mesh.program, "LightPosition_worldspace"), glm::vec3(3, 2, -4));
    EXPECT_EQ(uniformVector(mesh.program, "CameraPosition"), camera.position);
    EXPECT_EQ(game.lightPosition, glm::vec3(3.0f, 12.0f, -4.0f));
}

TEST_F(LitDraw, CombinedDrawSendsBothLights) {
    useNormalMappedProgram(mesh, "SatelliteShader");
    castShadowOf(mesh);
    game.lightPosition = glm::vec3(-7.0f, 0.0f, 1.0f);
    drawNormalShadowMapped(game, mesh, shadowRenderer, view, projection);
    EXPECT_EQ(uniformVector(mesh.program, "LightPosition_worldspace"), glm::vec3(-7, -10, 1));
    EXPECT_EQ(uniformVector(mesh.program, "lightPos"), shadowRenderer.shadowLightPosition);
    EXPECT_EQ(uniformMatrix(mesh.program, "lightSpaceMatrix"), shadowRenderer.lightSpaceMatrix);
}

TEST_F(LitDraw, ShadowMappedDrawSendsTheRenderersLightAndTheCamera) {
    useShadowMappedProgram(mesh);
    castShadowOf(mesh);
    drawShadowMapped(game, mesh, shadowRenderer, view, projection);
    EXPECT_EQ(uniformMatrix(mesh.program, "lightSpaceMatrix"), shadowRenderer.lightSpaceMatrix);
    EXPECT_EQ(uniformVector(mesh.program, "lightPos"), glm::vec3(-50.0f, 230.0f, 0.1f));
    EXPECT_EQ(uniformVector(mesh.program, "viewPos"), camera.position);
}

TEST_F(LitDraw, WithoutACameraTheViewerSitsAtTheOrigin) {
    useShadowMappedProgram(mesh);
    drawShadowMapped(game, mesh, shadowRenderer, view, projection);
    ASSERT_EQ(uniformVector(mesh.program, "viewPos"), camera.position);
    currentCamera = nullptr;
    drawShadowMapped(game, mesh, shadowRenderer, view, projection);
    EXPECT_EQ(uniformVector(mesh.program, "viewPos"), glm::vec3(0.0f));
}

TEST_F(LitDraw, TransformsAreComposedFromTheModelViewAndProjection) {
    useNormalMappedProgram(mesh, "NormalMapping");
    mesh.modelMatrix = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0, 0)), 0.3f,
                                   glm::vec3(0, 1, 0));
    drawNormalMapped(game, mesh, view, projection);
    expectMatrixNear(uniformMatrix(mesh.program, "MVP"), projection * view * mesh.modelMatrix);
    expectMatrixNear(uniformMatrix(mesh.program, "M"), mesh.modelMatrix);
    expectMatrixNear(uniformMatrix(mesh.program, "V"), view);
}

TEST_F(LitDraw, ShadowMappedFamilySamplesTheMapOnUnitOne) {
    useShadowMappedProgram(mesh);
    drawShadowMapped(game, mesh, shadowRenderer, view, projection);
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(uniformInteger(mesh.program, glGetUniformLocation(mesh.program, "shadowMap")), 1);
    EXPECT_EQ(uniformInteger(mesh.program, mesh.diffuseSamplerLocation), 0);
    EXPECT_EQ(textureOnUnit(1), static_cast<GLint>(shadowRenderer.depthTexture));
}

TEST_F(LitDraw, CombinedFamilySamplesTheSameMapOnUnitThree) {
    useNormalMappedProgram(mesh, "SatelliteShader");
    drawNormalShadowMapped(game, mesh, shadowRenderer, view, projection);
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    EXPECT_EQ(uniformInteger(mesh.program, glGetUniformLocation(mesh.program, "shadowMap")), 3);
    EXPECT_EQ(uniformInteger(mesh.program, mesh.diffuseSamplerLocation), 0);
    EXPECT_EQ(uniformInteger(mesh.program, mesh.normalSamplerLocation), 1);
    EXPECT_EQ(uniformInteger(mesh.program, mesh.specularSamplerLocation), 2);
    EXPECT_EQ(textureOnUnit(3), static_cast<GLint>(shadowRenderer.depthTexture));
}

TEST_F(LitDraw, DrawsLeaveNoProgramOrVertexArrayBound) {
    useNormalMappedProgram(mesh, "NormalMapping");
    drawNormalMapped(game, mesh, view, projection);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LitDraw, MeshWithTextureZeroStillDraws) {
    const std::uint8_t clearGrey = 77;
    for (Family family : allFamilies) {
        SceneObject untextured;
        prepare(untextured, family);
        ASSERT_EQ(untextured.diffuseTexture, 0u);
        glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const std::int32_t before = game.objectCount;
        draw(untextured, family);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << family;
        EXPECT_EQ(game.objectCount, before + 1) << family;
        EXPECT_GT(pixelsOtherThanGrey(context.readPixels(), clearGrey), 0) << family;
    }
}
