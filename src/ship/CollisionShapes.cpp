#include "ship/CollisionShapes.h"

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float entityMargin = 0.04f;

} // namespace

std::unique_ptr<btTriangleMesh> buildTriangleMesh(const std::vector<float>& flatPositions) {
    auto mesh = std::make_unique<btTriangleMesh>(true, true);
    for (std::size_t i = 0; i + 9 <= flatPositions.size(); i += 9) {
        const float* p = &flatPositions[i];
        mesh->addTriangle(btVector3(p[0], p[1], p[2]), btVector3(p[3], p[4], p[5]),
                          btVector3(p[6], p[7], p[8]), false);
    }
    return mesh;
}

std::unique_ptr<btConvexHullShape> buildConvexHull(btTriangleMesh& mesh) {
    // The exact hull of every corner: a reduced hull can leave corners outside the margin.
    auto hull = std::make_unique<btConvexHullShape>();
    const unsigned char* vertices = nullptr;
    int vertexCount = 0;
    PHY_ScalarType vertexType = PHY_FLOAT;
    int stride = 0;
    const unsigned char* indices = nullptr;
    int indexStride = 0;
    int triangleCount = 0;
    PHY_ScalarType indexType = PHY_INTEGER;
    mesh.getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, vertexType, stride, &indices,
                                          indexStride, triangleCount, indexType);
    for (int i = 0; i < vertexCount; ++i) {
        const float* corner = reinterpret_cast<const float*>(vertices + i * stride);
        hull->addPoint(btVector3(corner[0], corner[1], corner[2]), false);
    }
    mesh.unLockReadOnlyVertexBase(0);
    if (vertexCount > 0) {
        hull->optimizeConvexHull();
    }
    hull->recalcLocalAabb();
    hull->setMargin(entityMargin);
    return hull;
}

std::unique_ptr<btCollisionShape> buildStaticMeshShape(btTriangleMesh& mesh) {
    if (mesh.getNumTriangles() == 0) {
        return std::make_unique<btEmptyShape>();
    }
    auto shape = std::make_unique<btBvhTriangleMeshShape>(&mesh, true, true);
    shape->setMargin(entityMargin);
    return shape;
}

btTransform transformFromMatrix(const float* columnMajor) {
    btTransform transform;
    transform.setFromOpenGLMatrix(columnMajor);
    return transform;
}
