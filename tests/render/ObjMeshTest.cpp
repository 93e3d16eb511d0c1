#include "render/Mesh.h"
#include "support/DataDirectory.h"
#include "support/GlContext.h"

#include <cmath>
#include <cstdio>
#include <glm/geometric.hpp>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

const char* parserMessage =
    "File can't be read by our simple parser : ( Try exporting with other options\n";

const char* triangleLists = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n";

std::string capturedStdout() {
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

// Loads OBJ text from a scratch file; the printed messages come back in `output`.
class ObjLoadTest : public ::testing::Test {
  protected:
    bool load(const std::string& text) {
        scratch.write("Models/mesh.obj", text);
        WorkingDirectory cwd(scratch.path());
        ::testing::internal::CaptureStdout();
        bool loaded = loadObj(object, "Models\\mesh.obj");
        output = capturedStdout();
        return loaded;
    }

    ScratchDirectory scratch;
    SceneObject object;
    std::string output;
};

TEST_F(ObjLoadTest, ReadsOneTriangleWithItsCorners) {
    ASSERT_TRUE(load(std::string(triangleLists) + "f 1/1/1 2/2/1 3/3/1\n"));
    ASSERT_EQ(object.triangles.size(), 1u);
    const Triangle& triangle = object.triangles[0];
    EXPECT_EQ(triangle.position[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(triangle.uv[2], glm::vec2(0, 1));
    EXPECT_EQ(triangle.normal[0], glm::vec3(0, 0, 1));
    EXPECT_EQ(output, "");
}

TEST_F(ObjLoadTest, QuadFaceKeepsItsFirstThreeCorners) {
    ASSERT_TRUE(load(std::string(triangleLists) + "v 1 1 0\nf 1/1/1 2/2/1 3/3/1 4/1/1\n"));
    ASSERT_EQ(object.triangles.size(), 1u);
    EXPECT_EQ(object.triangles[0].position[2], glm::vec3(0, 1, 0));
}

TEST_F(ObjLoadTest, FaceWithoutNormalIndexFailsTheWholeLoad) {
    EXPECT_FALSE(load(std::string(triangleLists) + "f 1/1/1 2/2/1 3/3/1\nf 1/1 2/2 3/3\n"));
    EXPECT_TRUE(object.triangles.empty());
    EXPECT_EQ(output, parserMessage);
}

TEST_F(ObjLoadTest, FaceWithoutUvIndexFailsTheWholeLoad) {
    EXPECT_FALSE(load(std::string(triangleLists) + "f 1//1 2//1 3//1\n"));
    EXPECT_TRUE(object.triangles.empty());
    EXPECT_EQ(output, parserMessage);
}

TEST_F(ObjLoadTest, VInACommentIsReadAsAVertex) {
    ASSERT_TRUE(load("# v 5 6 7\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"));
    ASSERT_EQ(object.triangles.size(), 1u);
    EXPECT_EQ(object.triangles[0].position[0], glm::vec3(5, 6, 7));
}

TEST_F(ObjLoadTest, FacesMayReferToVerticesListedAfterThem) {
    ASSERT_TRUE(load("f 1/1/1 2/2/1 3/3/1\n" + std::string(triangleLists)));
    ASSERT_EQ(object.triangles.size(), 1u);
    EXPECT_EQ(object.triangles[0].position[1], glm::vec3(1, 0, 0));
}

TEST_F(ObjLoadTest, EmptyFileLoadsWithoutTriangles) {
    EXPECT_TRUE(load(""));
    EXPECT_TRUE(object.triangles.empty());
}

TEST_F(ObjLoadTest, MissingFileLeavesTheTrianglesAlone) {
    object.triangles.resize(2);
    WorkingDirectory cwd(scratch.path());
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(loadObj(object, "Models\\absent.obj"));
    EXPECT_EQ(capturedStdout(), "Impossible to open the file !\n");
    EXPECT_EQ(object.triangles.size(), 2u);
}

TEST_F(ObjLoadTest, IndicesOutsideTheListsFailInsteadOfReadingPastThem) {
    const char* faces[] = {"f 0/1/1 2/2/1 3/3/1\n",  "f 1/1/1 2/2/1 4/3/1\n",
                           "f 1/1/1 2/4/1 3/3/1\n",  "f 1/1/1 2/2/2 3/3/1\n",
                           "f -1/1/1 2/2/1 3/3/1\n", "f 1/1/1 2/2/1 2147483647/3/1\n"};
    for (const char* face : faces) {
        SCOPED_TRACE(face);
        object.triangles.clear();
        EXPECT_FALSE(load(std::string(triangleLists) + "f 1/1/1 2/2/1 3/3/1\n" + face));
        EXPECT_TRUE(object.triangles.empty());
        EXPECT_EQ(output, parserMessage);
    }
}

TEST_F(ObjLoadTest, OverlongTokensAreReadInPieces) {
    std::string longName(1000, 'x');
    ASSERT_TRUE(load("o " + longName + "\n" + "mtllib " + std::string(128, 'v') + "\n" +
                     triangleLists + "f 1/1/1 2/2/1 3/3/1\n"));
    EXPECT_EQ(object.triangles.size(), 1u);
}

TEST_F(ObjLoadTest, AppendsToTrianglesAlreadyThere) {
    object.triangles.resize(1);
    ASSERT_TRUE(load(std::string(triangleLists) + "f 1/1/1 2/2/1 3/3/1\nf 3/3/1 2/2/1 1/1/1\n"));
    EXPECT_EQ(object.triangles.size(), 3u);
}

Triangle makeTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 ta = {0, 0},
                      glm::vec2 tb = {1, 0}, glm::vec2 tc = {0, 1}) {
    Triangle triangle{};
    triangle.position[0] = a;
    triangle.position[1] = b;
    triangle.position[2] = c;
    triangle.uv[0] = ta;
    triangle.uv[1] = tb;
    triangle.uv[2] = tc;
    for (glm::vec3& normal : triangle.normal) {
        normal = glm::vec3(0, 0, 1);
    }
    return triangle;
}

TEST(FlattenTrianglesTest, WritesCornersInTriangleOrderAndReplacesOldData) {
    SceneObject object;
    object.flatPositions = {9, 9, 9};
    object.triangles.push_back(makeTriangle({1, 2, 3}, {4, 5, 6}, {7, 8, 9}));
    flattenTriangles(object);
    EXPECT_EQ(object.flatPositions, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(object.flatUvs, (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(object.flatNormals, (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
}

void expectUnitAndPerpendicular(const glm::vec3& tangent, const glm::vec3& normal) {
    ASSERT_TRUE(std::isfinite(tangent.x) && std::isfinite(tangent.y) && std::isfinite(tangent.z));
    EXPECT_NEAR(glm::length(tangent), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(tangent, normal), 0.0f, 1e-5f);
}

TEST(TangentTest, FollowsTheUvAxesOfAKnownTriangle) {
    std::vector<glm::vec3> positions = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
    std::vector<glm::vec2> uvs = {{0, 0}, {1, 0}, {0, 1}};
    std::vector<glm::vec3> normals(3, glm::vec3(0, 0, 1));
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
    computeTangents(positions, uvs, normals, tangents, bitangents);
    ASSERT_EQ(tangents.size(), 3u);
    ASSERT_EQ(bitangents.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tangents[i], glm::vec3(1, 0, 0));
        EXPECT_EQ(bitangents[i], glm::vec3(0, 3, 0));
    }
}

TEST(TangentTest, MirroredUvsFlipTheTangent) {
    std::vector<glm::vec3> positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    std::vector<glm::vec2> uvs = {{0, 0}, {1, 0}, {0, -1}};
    std::vector<glm::vec3> normals(3, glm::vec3(0, 0, 1));
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
    computeTangents(positions, uvs, normals, tangents, bitangents);
    EXPECT_EQ(bitangents[0], glm::vec3(0, -1, 0));
    EXPECT_EQ(tangents[0], glm::vec3(-1, 0, 0));
}

TEST(TangentTest, DegenerateUvsGiveFiniteUnitTangents) {
    std::vector<glm::vec3> positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                        {0, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    std::vector<glm::vec2> uvs = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0, 0}, {1, 1}, {2, 2}};
    std::vector<glm::vec3> normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1},
                                      {1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
    computeTangents(positions, uvs, normals, tangents, bitangents);
    ASSERT_EQ(tangents.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        expectUnitAndPerpendicular(tangents[i], normals[i]);
        EXPECT_TRUE(std::isfinite(glm::length(bitangents[i])));
    }
}

TEST(TangentTest, DegenerateTriangleDoesNotSpoilASharedVertex) {
    SceneObject object;
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    object.triangles.push_back(
        makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0}, {0, 0}, {0, 0}));
    ASSERT_TRUE(prepareMesh(object));
    for (const glm::vec3& tangent : object.indexedTangents) {
        EXPECT_TRUE(std::isfinite(tangent.x) && std::isfinite(tangent.y) &&
                    std::isfinite(tangent.z));
    }
}

TEST(VertexIndexingTest, CornersCloserThanTheToleranceShareAnIndex) {
    SceneObject object;
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    object.triangles.push_back(makeTriangle({0.004f, 0, 0}, {1, 0.01f, 0}, {5, 5, 5}));
    ASSERT_TRUE(prepareMesh(object));
    EXPECT_EQ(object.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 3, 4}));
    EXPECT_EQ(object.indexedPositions.size(), 5u);
    EXPECT_EQ(object.indexedPositions[0], glm::vec3(0, 0, 0));
}

TEST(VertexIndexingTest, SharedCornersSumTheirTangents) {
    SceneObject object;
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    ASSERT_TRUE(prepareMesh(object));
    EXPECT_EQ(object.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(object.indexedTangents[0], glm::vec3(2, 0, 0));
    EXPECT_EQ(object.indexedBitangents[0], glm::vec3(0, 2, 0));
}

TEST(VertexIndexingTest, SeparateTrianglesGetConsecutiveIndices) {
    SceneObject object;
    for (int i = 0; i < 4; ++i) {
        glm::vec3 offset(10.0f * static_cast<float>(i), 0, 0);
        object.triangles.push_back(
            makeTriangle(offset, offset + glm::vec3(1, 0, 0), offset + glm::vec3(0, 1, 0)));
    }
    ASSERT_TRUE(prepareMesh(object));
    ASSERT_EQ(object.indices.size(), 3 * object.triangles.size());
    for (std::size_t i = 0; i < object.indices.size(); ++i) {
        EXPECT_EQ(object.indices[i], i);
    }
}

TEST(VertexIndexingTest, PreparationRebuildsFromTheObjectsOwnTriangles) {
    SceneObject object;
    object.indices = {7, 7, 7};
    object.cornerTangents.resize(9);
    object.indexedPositions.resize(4);
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    ASSERT_TRUE(prepareMesh(object));
    EXPECT_EQ(object.indices, (std::vector<std::uint16_t>{0, 1, 2}));
    EXPECT_EQ(object.cornerTangents.size(), 3u);
    EXPECT_EQ(object.indexedPositions.size(), 3u);
}

TEST(VertexIndexingTest, FindSimilarVertexReturnsTheLowestMatch) {
    std::vector<glm::vec3> positions = {{5, 5, 5}, {0.005f, 0, 0}, {0, 0, 0}};
    std::vector<glm::vec2> uvs(3);
    std::vector<glm::vec3> normals(3);
    SimilarVertex found = findSimilarVertex({0, 0, 0}, {0, 0}, {0, 0, 0}, positions, uvs, normals);
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.index, 1u);
    EXPECT_FALSE(
        findSimilarVertex({0, 0, 0}, {0, 0.01f}, {0, 0, 0}, positions, uvs, normals).found);
    EXPECT_FALSE(findSimilarVertex({0, 0, 0}, {0, 0}, {0, 0, 0}, {}, {}, {}).found);
}

// Corners on a coarse lattice, some nudged to just inside or just outside the tolerance.
VertexCorners randomCorners(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<int> lattice(-3, 3);
    std::uniform_int_distribution<int> nudgeKind(0, 5);
    const float nudges[] = {0.0f, 0.0099f, -0.0099f, 0.01f, 0.0101f, -0.00999f};
    auto coordinate = [&] {
        return 0.02f * static_cast<float>(lattice(random)) + nudges[nudgeKind(random)];
    };
    VertexCorners corners;
    for (std::size_t i = 0; i < count; ++i) {
        corners.positions.emplace_back(coordinate(), coordinate(), coordinate());
        corners.uvs.emplace_back(nudges[nudgeKind(random) % 3], 0.0f);
        corners.normals.emplace_back(0.0f, nudges[nudgeKind(random) % 2], 1.0f);
        corners.tangents.emplace_back(static_cast<float>(i), 1.0f, 0.0f);
        corners.bitangents.emplace_back(0.0f, static_cast<float>(i), 1.0f);
    }
    return corners;
}

TEST(VertexIndexingTest, HashedIndexingMatchesTheLinearSearch) {
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        VertexCorners corners = randomCorners(random, 600);
        IndexedVertices linear;
        IndexedVertices hashed;
        ASSERT_TRUE(indexVerticesLinear(corners, linear));
        ASSERT_TRUE(indexVertices(corners, hashed));
        EXPECT_EQ(hashed.indices, linear.indices);
        EXPECT_EQ(hashed.positions, linear.positions);
        EXPECT_EQ(hashed.uvs, linear.uvs);
        EXPECT_EQ(hashed.normals, linear.normals);
        EXPECT_EQ(hashed.tangents, linear.tangents);
        EXPECT_EQ(hashed.bitangents, linear.bitangents);
        EXPECT_LT(linear.positions.size(), corners.positions.size());
    }
}

TEST(VertexIndexingTest, NonFinitePositionsNeverMerge) {
    VertexCorners corners;
    float nan = std::nanf("");
    float infinity = INFINITY;
    for (glm::vec3 position :
         {glm::vec3(nan, 0, 0), glm::vec3(nan, 0, 0), glm::vec3(infinity, 0, 0),
          glm::vec3(infinity, 0, 0), glm::vec3(1e30f, 0, 0), glm::vec3(1e30f, 0, 0)}) {
        corners.positions.push_back(position);
        corners.uvs.emplace_back(0, 0);
        corners.normals.emplace_back(0, 0, 1);
        corners.tangents.emplace_back(1, 0, 0);
        corners.bitangents.emplace_back(0, 1, 0);
    }
    IndexedVertices linear;
    IndexedVertices hashed;
    ASSERT_TRUE(indexVerticesLinear(corners, linear));
    ASSERT_TRUE(indexVertices(corners, hashed));
    EXPECT_EQ(hashed.indices, linear.indices);
    EXPECT_EQ(hashed.indices, (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 4}));
}

VertexCorners distinctCorners(std::size_t count) {
    VertexCorners corners;
    for (std::size_t i = 0; i < count; ++i) {
        corners.positions.emplace_back(static_cast<float>(i % 300), static_cast<float>(i / 300), 0);
        corners.uvs.emplace_back(0, 0);
        corners.normals.emplace_back(0, 0, 1);
        corners.tangents.emplace_back(1, 0, 0);
        corners.bitangents.emplace_back(0, 1, 0);
    }
    return corners;
}

TEST(VertexIndexingTest, SixteenBitIndicesReachTheirLastValue) {
    IndexedVertices result;
    ASSERT_TRUE(indexVertices(distinctCorners(maxIndexedVertices), result));
    EXPECT_EQ(result.indices.back(), 65535);
    EXPECT_EQ(result.positions.size(), maxIndexedVertices);
}

TEST(VertexIndexingTest, MeshesBeyondSixteenBitIndicesAreRefused) {
    VertexCorners corners = distinctCorners(maxIndexedVertices + 3);
    IndexedVertices result;
    EXPECT_FALSE(indexVertices(corners, result));
    EXPECT_TRUE(result.indices.empty());
    EXPECT_TRUE(result.positions.empty());

    SceneObject object;
    for (std::size_t i = 0; i + 2 < corners.positions.size(); i += 3) {
        object.triangles.push_back(
            makeTriangle(corners.positions[i], corners.positions[i + 1], corners.positions[i + 2]));
    }
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(prepareMesh(object));
    EXPECT_NE(capturedStdout().find("65536"), std::string::npos);
    EXPECT_TRUE(object.indices.empty());
    EXPECT_TRUE(object.indexedPositions.empty());
}

TEST(VertexIndexingTest, MismatchedCornerListsAreRefused) {
    VertexCorners corners = distinctCorners(6);
    corners.uvs.pop_back();
    IndexedVertices result;
    EXPECT_FALSE(indexVertices(corners, result));
    EXPECT_FALSE(indexVerticesLinear(corners, result));
}

class MeshUploadTest : public ::testing::Test {
  protected:
    GLint boundBufferSize(GLenum target, GLuint buffer) {
        glBindBuffer(target, buffer);
        GLint size = -1;
        glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
        return size;
    }

    GlContext gl;
    WorkingDirectory cwd{VELMORA_DATA_DIR};
};

TEST_F(MeshUploadTest, UploadsEveryIndexedListIntoItsOwnBuffer) {
    SceneObject object;
    object.triangles.push_back(makeTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    object.triangles.push_back(
        makeTriangle({0, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0}, {0, 1}, {-1, 0}));
    uploadMesh(object);
    EXPECT_NE(object.program, 0u);
    EXPECT_NE(object.diffuseSamplerLocation, -1);
    EXPECT_NE(object.normalSamplerLocation, -1);
    EXPECT_EQ(object.indices.size(), 6u);
    std::size_t vertices = object.indexedPositions.size();
    EXPECT_EQ(vertices, 4u);
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER, object.positionBuffer), GLint(vertices * 12));
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER, object.uvBuffer), GLint(vertices * 8));
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER, object.bitangentBuffer), GLint(vertices * 12));

    glBindVertexArray(object.vertexArray);
    GLint elementBuffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    EXPECT_EQ(static_cast<GLuint>(elementBuffer), object.indexBuffer);
    for (GLuint location = 0; location < 5; ++location) {
        GLint enabled = 0;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, GL_TRUE) << location;
    }
    GLint uvComponents = 0;
    glGetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_SIZE, &uvComponents);
    EXPECT_EQ(uvComponents, 2);
    glBindVertexArray(0);
    EXPECT_EQ(boundBufferSize(GL_ELEMENT_ARRAY_BUFFER, object.indexBuffer), 12);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshUploadTest, EmptyMeshGetsEmptyBuffers) {
    SceneObject object;
    uploadMesh(object);
    EXPECT_NE(object.vertexArray, 0u);
    EXPECT_EQ(boundBufferSize(GL_ARRAY_BUFFER, object.positionBuffer), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
