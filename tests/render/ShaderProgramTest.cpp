#include "render/Shaders.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct CatalogueProgram {
    const char* name;
    const char* vertexPath;
    const char* fragmentPath;
    std::vector<std::string> buildUniforms;
    std::set<GLint> attributeLocations;
};

const std::set<GLint> meshLayout = {0, 1, 2, 3, 4};
const std::set<GLint> quadLayout = {0};

std::vector<CatalogueProgram> catalogue() {
    return {
        {"BasicShader",
         "Shaders\\BasicShader.vert",
         "Shaders\\BasicShader.frag",
         {"myTextureSampler", "myNormalSampler", "MVP", "V", "M", "LightPosition_worldspace"},
         meshLayout},
        {"ShadowMappingShader",
         "Shaders\\ShadowMappingShader.vert",
         "Shaders\\ShadowMappingShader.frag",
         {"myTextureSampler", "MVP", "V", "M", "lightSpaceMatrix", "shadowMap", "lightPos",
          "viewPos"},
         meshLayout},
        {"NormalMapping",
         "Shaders\\NormalMapping.vert",
         "Shaders\\NormalMapping.frag",
         {"DiffuseTextureSampler", "NormalTextureSampler", "SpecularTextureSampler", "MVP", "V",
          "M", "MV3x3", "LightPosition_worldspace", "CameraPosition"},
         meshLayout},
        {"SatelliteShader",
         "Shaders\\SatelliteShader.vert",
         "Shaders\\SatelliteShader.frag",
         {"DiffuseTextureSampler", "NormalTextureSampler", "SpecularTextureSampler", "MVP", "V",
          "M", "MV3x3", "LightPosition_worldspace", "CameraPosition", "lightSpaceMatrix",
          "shadowMap", "lightPos", "viewPos"},
         meshLayout},
        {"Screen",
         "Shaders\\Screen.vert",
         "Shaders\\Screen.frag",
         {"myTextureSampler", "MVP"},
         {0, 1}},
        {"zBufferShader",
         "Shaders\\zBufferShader.vert",
         "Shaders\\zBufferShader.frag",
         {"MVP", "near_plane", "far_plane"},
         meshLayout},
        {"DepthShader",
         "Shaders\\Passthrough.vert",
         "Shaders\\DepthShader.frag",
         {"tex", "near_plane", "far_plane"},
         quadLayout},
        {"TextureToScreen",
         "Shaders\\Passthrough.vert",
         "Shaders\\TextureToScreen.frag",
         {"renderedTexture"},
         quadLayout},
        {"BrightPass",
         "Shaders\\Passthrough.vert",
         "Shaders\\BrightPass.frag",
         {"threshold"},
         quadLayout},
        {"HorizBlurShader",
         "Shaders\\Passthrough.vert",
         "Shaders\\HorizBlurShader.frag",
         {"blurTex"},
         quadLayout},
        {"VertBlurShader",
         "Shaders\\Passthrough.vert",
         "Shaders\\VertBlurShader.frag",
         {"blurTex"},
         quadLayout},
        {"BloomShader",
         "Shaders\\Passthrough.vert",
         "Shaders\\BloomShader.frag",
         {"originalTexture", "blurTexture"},
         quadLayout},
        {"Particle",
         "Shaders\\Particle.vert",
         "Shaders\\Particle.frag",
         {"CameraRight_worldspace", "CameraUp_worldspace", "VP", "myTextureSampler"},
         {0, 1, 2}},
        {"TextVertexShader",
         "Shaders\\TextVertexShader.vert",
         "Shaders\\TextVertexShader.frag",
         {"myTextureSampler"},
         {0, 1}},
    };
}

std::set<GLint> activeAttributeLocations(GLuint program) {
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    std::set<GLint> locations;
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type,
                          name);
        locations.insert(glGetAttribLocation(program, name));
    }
    return locations;
}

const char* validVertex = "#version 330 core\n"
                          "layout(location = 0) in vec3 position;\n"
                          "void main() { gl_Position = vec4(position, 1.0); }\n";
const char* validFragment = "#version 330 core\n"
                            "layout(location = 0) out vec4 color;\n"
                            "void main() { color = vec4(1.0); }\n";
const char* brokenSource = "#version 330 core\nvoid main() { this is not glsl }\n";

class ShaderCatalogueTest : public ::testing::Test {
  protected:
    GlContext gl;
    WorkingDirectory cwd{VELMORA_DATA_DIR};
};

TEST_F(ShaderCatalogueTest, EveryProgramLinksAndExposesItsBuildUniforms) {
    for (const CatalogueProgram& entry : catalogue()) {
        SCOPED_TRACE(entry.name);
        GLuint program = loadShaders(entry.vertexPath, entry.fragmentPath);
        ASSERT_NE(program, 0u);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        for (const std::string& uniform : entry.buildUniforms) {
            EXPECT_NE(glGetUniformLocation(program, uniform.c_str()), -1) << uniform;
        }
    }
}

TEST_F(ShaderCatalogueTest, AttributesSitAtTheirLayoutLocations) {
    for (const CatalogueProgram& entry : catalogue()) {
        SCOPED_TRACE(entry.name);
        GLuint program = loadShaders(entry.vertexPath, entry.fragmentPath);
        std::set<GLint> locations = activeAttributeLocations(program);
        ASSERT_FALSE(locations.empty());
        for (GLint location : locations) {
            EXPECT_TRUE(entry.attributeLocations.count(location)) << "location " << location;
        }
        // Position is always at location 0.
        EXPECT_TRUE(locations.count(0));
    }
}

TEST_F(ShaderCatalogueTest, BuildingTheSamePairTwiceGivesTwoPrograms) {
    GLuint first = loadShaders("Shaders\\Screen.vert", "Shaders\\Screen.frag");
    GLuint second = loadShaders("Shaders\\Screen.vert", "Shaders\\Screen.frag");
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
}

TEST(ReadTextFileTest, ReadsEveryCharacterAndEmptyFilesAsEmpty) {
    ScratchDirectory scratch;
    std::string content("line one\r\nline two\0with zero\n", 29);
    scratch.write("Shaders/text.vert", content);
    scratch.write("Shaders/empty.vert", "");
    WorkingDirectory cwd(scratch.path());
    EXPECT_EQ(readTextFile("Shaders\\text.vert"), content);
    EXPECT_EQ(readTextFile("Shaders/text.vert"), content);
    EXPECT_EQ(readTextFile("Shaders\\empty.vert"), "");
}

// The failures end the process, so each runs in a fresh child; its standard output is
// sent to standard error, where the death-test machinery reads it.
class ShaderFailureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        scratch.write("Shaders/valid.vert", validVertex);
        scratch.write("Shaders/valid.frag", validFragment);
        scratch.write("Shaders/broken.vert", brokenSource);
        scratch.write("Shaders/broken.frag", brokenSource);
        scratch.write("Shaders/empty.vert", "");
        // Compiles on its own, but a stage without main cannot be linked.
        scratch.write("Shaders/nomain.frag", "#version 330 core\n"
                                             "layout(location = 0) out vec4 color;\n"
                                             "void helper() { color = vec4(1.0); }\n");
    }

    static void buildInChild(const std::filesystem::path& directory, const char* vertexPath,
                             const char* fragmentPath) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        GlContext gl;
        WorkingDirectory cwd(directory);
        loadShaders(vertexPath, fragmentPath);
        std::exit(0);
    }

    ScratchDirectory scratch;
};

TEST_F(ShaderFailureTest, MissingVertexFileStopsBeforeTheFragmentFile) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\missing.vert", "Shaders\\missing.frag"),
                ::testing::ExitedWithCode(255), "^Failed to load file: Shaders.missing\\.vert\n$");
}

TEST_F(ShaderFailureTest, MissingFragmentFileNamesTheFragmentPath) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\valid.vert", "Shaders\\missing.frag"),
                ::testing::ExitedWithCode(255), "^Failed to load file: Shaders.missing\\.frag\n$");
}

TEST_F(ShaderFailureTest, BrokenVertexShaderStopsBeforeTheFragmentShader) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\broken.vert", "Shaders\\broken.frag"),
                ::testing::ExitedWithCode(255), "^Failed to compile vertex shader: .*error");
}

TEST_F(ShaderFailureTest, BrokenFragmentShaderPrintsTheFragmentLog) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\valid.vert", "Shaders\\broken.frag"),
                ::testing::ExitedWithCode(255), "^Failed to compile fragment shader: .*error");
}

TEST_F(ShaderFailureTest, EmptySourceIsHandedToTheCompiler) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\empty.vert", "Shaders\\valid.frag"),
                ::testing::ExitedWithCode(255), "^Failed to compile vertex shader: ");
}

TEST_F(ShaderFailureTest, StageWithoutMainFailsToLink) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\valid.vert", "Shaders\\nomain.frag"),
                ::testing::ExitedWithCode(255), "^Failed to link shader program: .+");
}

TEST_F(ShaderFailureTest, ValidPairBuildsInTheSameChild) {
    EXPECT_EXIT(buildInChild(scratch.path(), "Shaders\\valid.vert", "Shaders\\valid.frag"),
                ::testing::ExitedWithCode(0), "");
}

} // namespace
