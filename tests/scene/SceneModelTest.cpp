#include "scene/SceneObject.h"

#include <gtest/gtest.h>

namespace {

Triangle triangleAt(float x) {
    Triangle t{};
    for (int corner = 0; corner < 3; ++corner) {
        t.position[corner] = glm::vec3(x, static_cast<float>(corner), 0.0f);
    }
    return t;
}

} // namespace

TEST(SceneModel, CollectVerticesPutsChildrenFirstThenThreePointsPerTriangle) {
    Node bare;
    std::vector<glm::vec3> untouched{glm::vec3(9.0f)};
    EXPECT_EQ(bare.collectVertices(untouched), std::vector<glm::vec3>{glm::vec3(9.0f)});

    SceneObject child;
    child.triangles = {triangleAt(1.0f)};
    SceneObject parent;
    parent.triangles = {triangleAt(2.0f), triangleAt(3.0f)};
    parent.children = {&child};

    std::vector<glm::vec3> acc;
    std::vector<glm::vec3> points = parent.collectVertices(acc);
    ASSERT_EQ(points.size(), 9u);
    EXPECT_EQ(points, acc);
    EXPECT_EQ(points[0], glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(points[3], glm::vec3(2.0f, 0.0f, 0.0f));
    EXPECT_EQ(points[5], glm::vec3(2.0f, 2.0f, 0.0f));
    EXPECT_EQ(points[8], glm::vec3(3.0f, 2.0f, 0.0f));
}

TEST(SceneModel, CollectTrianglesWalksTheSameWay) {
    SceneObject child;
    child.triangles = {triangleAt(1.0f)};
    SceneObject parent;
    parent.triangles = {triangleAt(2.0f)};
    parent.children = {&child};
    std::vector<Triangle> acc{triangleAt(0.0f)};
    std::vector<Triangle> all = parent.collectTriangles(acc);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].position[0].x, 0.0f);
    EXPECT_EQ(all[1].position[0].x, 1.0f);
    EXPECT_EQ(all[2].position[0].x, 2.0f);
}

TEST(SceneModel, CopyMeshFromTakesTrianglesAndDerivedLists) {
    SceneObject prototype;
    prototype.triangles = {triangleAt(4.0f)};
    prototype.flatPositions = {1.0f, 2.0f};
    prototype.indices = {0, 1, 2};
    prototype.indexedPositions = {glm::vec3(1.0f)};
    SceneObject copy;
    copy.kind = 2;
    copy.copyMeshFrom(prototype);
    EXPECT_EQ(copy.triangles.size(), 1u);
    EXPECT_EQ(copy.flatPositions, prototype.flatPositions);
    EXPECT_EQ(copy.indices, prototype.indices);
    EXPECT_EQ(copy.indexedPositions, prototype.indexedPositions);
    EXPECT_EQ(copy.kind, 2);
}
