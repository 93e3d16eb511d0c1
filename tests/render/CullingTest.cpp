#include "render/Culling.h"
#include "app/Game.h"
#include "scene/SceneObject.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Restores the frame's matrix so that tests do not leak their views into each other.
class CullingFrustum : public ::testing::Test {
  protected:
    void TearDown() override { viewProjection = glm::mat4(1.0f); }
};

// Clip x is the sum of the world coordinates, so the corners of a unit box fall at
// s - 3, s - 1 (three), s + 1 (three) and s + 3 for a box whose coordinates sum to s.
glm::mat4 summingShear() {
    glm::mat4 shear(1.0f);
    shear[1][0] = 1.0f;
    shear[2][0] = 1.0f;
    return shear;
}

glm::mat4 cameraAt(const glm::vec3& eye, const glm::vec3& target) {
    const glm::mat4 projection =
        glm::perspective(glm::quarter_pi<float>(), 16.0f / 9.0f, 0.1f, 1000.0f);
    return projection * glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
}

Triangle triangleOf(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c) {
    Triangle t{};
    t.position[0] = a;
    t.position[1] = b;
    t.position[2] = c;
    return t;
}

// Deliberately off-centre and uneven so that a box assuming a centred mesh is too small.
std::vector<Triangle> lopsidedTriangles() {
    return {
        triangleOf({0.0f, -1.0f, 0.5f}, {4.0f, -1.0f, 0.5f}, {4.0f, 2.0f, 3.0f}),
        triangleOf({0.0f, 2.0f, 3.0f}, {1.0f, 0.0f, 2.0f}, {3.5f, 1.5f, 0.5f}),
    };
}

// A sign's face: no depth at all in model space.
std::vector<Triangle> flatTriangles() {
    return {
        triangleOf({-2.0f, -1.0f, 0.0f}, {2.0f, -1.0f, 0.0f}, {2.0f, 1.0f, 0.0f}),
        triangleOf({-2.0f, -1.0f, 0.0f}, {2.0f, 1.0f, 0.0f}, {-2.0f, 1.0f, 0.0f}),
    };
}

void expectBoxEncloses(SceneObject& mesh, const glm::mat4& model, const char* label) {
    mesh.modelMatrix = model;
    const CullingBox box = computeCullingBox(mesh);
    std::vector<glm::vec3> points;
    mesh.collectVertices(points);
    constexpr float tolerance = 1e-4f;
    for (const glm::vec3& point : points) {
        const glm::vec3 world(model * glm::vec4(point, 1.0f));
        const glm::vec3 offset = glm::abs(world - box.centre);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_LE(offset[axis], box.halfExtent[axis] + tolerance)
                << label << ": point " << point.x << ", " << point.y << ", " << point.z
                << " outside on axis " << axis;
        }
    }
}

glm::mat4 rotation(float degrees, const glm::vec3& axis) {
    const glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(-20.0f, 7.0f, 3.0f));
    return glm::rotate(placed, glm::radians(degrees), axis);
}

} // namespace

TEST_F(CullingFrustum, BoxWithAllEightCornersBeyondOnePlaneIsCulled) {
    viewProjection = summingShear();
    EXPECT_FALSE(isBoxInFrustum(glm::vec3(1.5f, 1.5f, 1.5f), glm::vec3(1.0f)));
}

TEST_F(CullingFrustum, BoxWithSevenCornersBeyondOnePlaneIsDrawn) {
    viewProjection = summingShear();
    EXPECT_TRUE(isBoxInFrustum(glm::vec3(1.5f, 1.5f, 0.5f), glm::vec3(1.0f)));
}

TEST_F(CullingFrustum, EachOfTheSixPlanesCullsOnItsOwn) {
    const glm::vec3 half(0.5f);
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            glm::vec3 centre(0.0f);
            centre[axis] = 2.0f * side;
            EXPECT_FALSE(isBoxInFrustum(centre, half)) << "axis " << axis << " side " << side;
        }
    }
}

TEST_F(CullingFrustum, CornersExactlyOnAPlaneCountAsInside) {
    EXPECT_TRUE(isBoxInFrustum(glm::vec3(2.0f, 0.0f, 0.0f), glm::vec3(1.0f)));
}

TEST_F(CullingFrustum, BoxStraddlingSeveralPlanesButBeyondNoneIsDrawn) {
    // Every corner is outside some plane, yet no plane has all eight.
    EXPECT_TRUE(isBoxInFrustum(glm::vec3(0.0f), glm::vec3(3.0f)));
}

TEST_F(CullingFrustum, HugeBoxAroundTheCameraIsNeverCulled) {
    const glm::vec3 eye(-50.0f, 10.0f, 30.0f);
    for (const glm::vec3& target :
         {glm::vec3(-50.0f, 10.0f, 0.0f), glm::vec3(0.0f, 10.0f, 30.0f),
          glm::vec3(-50.0f, 10.0f, 90.0f), glm::vec3(-80.0f, -5.0f, 30.0f)}) {
        viewProjection = cameraAt(eye, target);
        EXPECT_TRUE(isBoxInFrustum(eye, glm::vec3(5000.0f)));
    }
}

TEST_F(CullingFrustum, BoxBehindTheCameraIsCulledAndAheadIsDrawn) {
    viewProjection = cameraAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(isBoxInFrustum(glm::vec3(0.0f, 0.0f, -20.0f), glm::vec3(1.0f)));
    EXPECT_FALSE(isBoxInFrustum(glm::vec3(0.0f, 0.0f, 20.0f), glm::vec3(1.0f)));
    EXPECT_FALSE(isBoxInFrustum(glm::vec3(0.0f, 0.0f, -2000.0f), glm::vec3(1.0f)));
}

TEST(CullingBox, EmptyMeshGetsAPointBoxAtItsTranslation) {
    SceneObject empty;
    empty.modelMatrix =
        glm::translate(glm::scale(glm::mat4(1.0f), glm::vec3(3.0f)), glm::vec3(1.0f, 2.0f, 3.0f));
    const CullingBox box = computeCullingBox(empty);
    EXPECT_EQ(box.centre, glm::vec3(3.0f, 6.0f, 9.0f));
    EXPECT_EQ(box.halfExtent, glm::vec3(0.0f));
}

TEST(CullingBox, UnturnedMeshGetsItsExactBoundsMoved) {
    SceneObject mesh;
    mesh.triangles = lopsidedTriangles();
    mesh.modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 0.0f, -5.0f));
    const CullingBox box = computeCullingBox(mesh);
    EXPECT_EQ(box.centre, glm::vec3(12.0f, 0.5f, -3.25f));
    EXPECT_EQ(box.halfExtent, glm::vec3(2.0f, 1.5f, 1.25f));
}

TEST(CullingBox, QuarterTurnSwapsExtentsWithoutGrowing) {
    SceneObject mesh;
    mesh.triangles = lopsidedTriangles();
    mesh.modelMatrix = glm::rotate(glm::mat4(1.0f), glm::half_pi<float>(), glm::vec3(0, 1, 0));
    const CullingBox box = computeCullingBox(mesh);
    EXPECT_NEAR(box.halfExtent.x, 1.25f, 1e-5f);
    EXPECT_NEAR(box.halfExtent.y, 1.5f, 1e-5f);
    EXPECT_NEAR(box.halfExtent.z, 2.0f, 1e-5f);
}

TEST(CullingBox, FlatMeshTurnedUpGetsDepth) {
    SceneObject sign;
    sign.triangles = flatTriangles();
    sign.modelMatrix = glm::rotate(glm::mat4(1.0f), glm::half_pi<float>(), glm::vec3(1, 0, 0));
    const CullingBox box = computeCullingBox(sign);
    EXPECT_NEAR(box.halfExtent.x, 2.0f, 1e-5f);
    EXPECT_NEAR(box.halfExtent.y, 0.0f, 1e-5f);
    EXPECT_NEAR(box.halfExtent.z, 1.0f, 1e-5f);
}

TEST(CullingBox, QuarterTurnsAboutEveryAxisEncloseTheMesh) {
    const glm::vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const glm::vec3& axis : axes) {
        for (float degrees : {90.0f, -90.0f}) {
            SceneObject mesh;
            mesh.triangles = lopsidedTriangles();
            expectBoxEncloses(mesh, rotation(degrees, axis), "lopsided");
            SceneObject sign;
            sign.triangles = flatTriangles();
            expectBoxEncloses(sign, rotation(degrees, axis), "flat");
        }
    }
}

TEST(CullingBox, HalfTurnAboutYEnclosesTheMesh) {
    SceneObject mesh;
    mesh.triangles = lopsidedTriangles();
    expectBoxEncloses(mesh, rotation(180.0f, glm::vec3(0, 1, 0)), "half turn");
}

TEST(CullingBox, EveryWholeDegreeOfYawEnclosesTheMesh) {
    for (int degrees = 1; degrees <= 179; ++degrees) {
        SceneObject mesh;
        mesh.triangles = lopsidedTriangles();
        const glm::mat4 model =
            glm::scale(rotation(static_cast<float>(degrees), {0, 1, 0}), glm::vec3(1.5f));
        expectBoxEncloses(mesh, model, "yaw");
    }
}
