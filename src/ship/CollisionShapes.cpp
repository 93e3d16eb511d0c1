#include "ship/CollisionShapes.h"

#include <BulletCollision/CollisionShapes/btShapeHull.h>
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
    auto hull = std::make_unique<btConvexHullShape>();
    if (mesh.getNumTriangles() > 0) {
        btConvexTriangleMeshShape wrapper(&mesh, true);
        btShapeHull reducer(&wrapper);
        reducer.buildHull(wrapper.getMargin());
        for (int i = 0; i < reducer.numVertices(); ++i) {
            hull->addPoint(reducer.getVertexPointer()[i], false);
        }
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
