#pragma once

#include <LinearMath/btTransform.h>
#include <memory>
#include <vector>

class btCollisionShape;
class btConvexHullShape;
class btTriangleMesh;

// Collision geometry built from a mesh's flat corner positions (nine floats per triangle).

std::unique_ptr<btTriangleMesh> buildTriangleMesh(const std::vector<float>& flatPositions);

// The convex hull of the mesh's corners. An empty mesh gives an empty hull.
std::unique_ptr<btConvexHullShape> buildConvexHull(btTriangleMesh& mesh);

// A static concave shape over the mesh; an empty mesh gives a shape that touches nothing.
std::unique_ptr<btCollisionShape> buildStaticMeshShape(btTriangleMesh& mesh);

// Bullet transform <-> column-major model matrix.
btTransform transformFromMatrix(const float* columnMajor);
