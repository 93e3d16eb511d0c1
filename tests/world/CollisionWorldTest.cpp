#include "app/Game.h"
#include "app/World.h"
#include "entities/Level.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "render/Mesh.h"
#include "ship/CollisionShapes.h"
#include "ship/Ship.h"
#include "support/GameHarness.h"
#include "world/WorldProbe.h"

#include <BulletCollision/CollisionShapes/btConvexPolyhedron.h>
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>
#include <string>

using namespace worldprobe;

namespace {

constexpr float entityMargin = 0.04f;
// The end wall of the first tunnel, which the ship meets flying straight on from the start.
constexpr float endWallZ = -82.2f;
// Half the ship's length along z.
constexpr float shipHalfLength = 1.33f;

// A satellite that shares the mesh of the game's first one, initialised into its world.
Satellite* addSatellite(Game& game, glm::vec3 position) {
    auto satellite = std::make_unique<Satellite>(&game, position);
    satellite->copyMeshFrom(*game.satelliteList.front());
    satellite->init();
    Satellite* raw = satellite.get();
    game.addObject(std::move(satellite));
    return raw;
}

Obstacle* addObstacle(Game& game, glm::vec3 position) {
    auto obstacle = std::make_unique<Obstacle>(&game, position, true, true);
    obstacle->copyMeshFrom(*game.obstacleList.front());
    obstacle->init();
    Obstacle* raw = obstacle.get();
    game.addObject(std::move(obstacle));
    return raw;
}

bool samePair(const btBroadphasePair& pair, const btCollisionObject* a,
              const btCollisionObject* b) {
    auto* first = pair.m_pProxy0->m_clientObject;
    auto* second = pair.m_pProxy1->m_clientObject;
    return (first == a && second == b) || (first == b && second == a);
}

// True when the point lies inside the hull's vertices grown by `tolerance`: it must not
// lie beyond the supporting plane of any face normal, taken both ways.
bool hullContains(btConvexHullShape& hull, const btVector3& point, float tolerance) {
    const btConvexPolyhedron* polyhedron = hull.getConvexPolyhedron();
    for (int f = 0; f < polyhedron->m_faces.size(); ++f) {
        const btFace& face = polyhedron->m_faces[f];
        btVector3 normal(face.m_plane[0], face.m_plane[1], face.m_plane[2]);
        for (float sign : {1.0f, -1.0f}) {
            btVector3 direction = normal * sign;
            float reach = -std::numeric_limits<float>::infinity();
            for (int i = 0; i < hull.getNumPoints(); ++i) {
                reach = std::max(reach, hull.getUnscaledPoints()[i].dot(direction));
            }
            if (point.dot(direction) > reach + tolerance) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(CollisionWorld, OverlappingEntityBodiesMakeNoPairOnlyTheShipDoes) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    const glm::vec3 spot(0.0f, 0.0f, -30.0f);
    Satellite* first = addSatellite(game, spot);
    Satellite* second = addSatellite(game, spot);
    Obstacle* panel = addObstacle(game, spot);
    detectCollisions(game);

    const btCollisionObject* ghost = currentShip->ghostObject.get();
    btBroadphasePairArray& pairs = game.dynamicsWorld->getPairCache()->getOverlappingPairArray();
    for (int i = 0; i < pairs.size(); ++i) {
        EXPECT_TRUE(pairs[i].m_pProxy0->m_clientObject == ghost ||
                    pairs[i].m_pProxy1->m_clientObject == ghost)
            << "pair " << i << " does not involve the ship";
    }
    for (int i = 0; i < game.dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = game.dispatcher->getManifoldByIndexInternal(i);
        EXPECT_TRUE(manifold->getBody0() == ghost || manifold->getBody1() == ghost);
    }

    // The same bodies do meet the ship once it flies into them.
    placeShip(*currentShip, btVector3(spot.x, spot.y, spot.z));
    detectCollisions(game);
    EXPECT_TRUE(touches(game, *currentShip, first->body.get()));
    EXPECT_TRUE(touches(game, *currentShip, second->body.get()));
    EXPECT_TRUE(touches(game, *currentShip, panel->body.get()));
    for (int i = 0; i < pairs.size(); ++i) {
        EXPECT_FALSE(samePair(pairs[i], first->body.get(), second->body.get()));
        EXPECT_FALSE(samePair(pairs[i], first->body.get(), panel->body.get()));
    }
}

namespace {

// Corners of the mesh that lie beyond a face plane of its hull by more than the margin.
int cornersOutsideHull(const char* path) {
    SceneObject mesh;
    EXPECT_TRUE(loadObj(mesh, path));
    flattenTriangles(mesh);
    auto triangles = buildTriangleMesh(mesh.flatPositions);
    EXPECT_EQ(triangles->getNumTriangles(), static_cast<int>(mesh.triangles.size()));
    auto hull = buildConvexHull(*triangles);
    EXPECT_FLOAT_EQ(hull->getMargin(), entityMargin);
    EXPECT_GE(hull->getNumPoints(), 4);
    hull->initializePolyhedralFeatures();
    if (!hull->getConvexPolyhedron() || mesh.flatPositions.empty()) {
        return -1;
    }
    int outside = 0;
    for (std::size_t i = 0; i + 3 <= mesh.flatPositions.size(); i += 3) {
        btVector3 point(mesh.flatPositions[i], mesh.flatPositions[i + 1],
                        mesh.flatPositions[i + 2]);
        outside += !hullContains(*hull, point, entityMargin + 1e-4f);
    }
    return outside;
}

} // namespace

TEST(CollisionWorld, ConvexHullContainsEveryMeshPointWithinTheMargin) {
    WorkingDirectory cwd(VELMORA_DATA_DIR);
    for (const char* path : {"Models\\satellite.obj", "Models\\plane.obj", "Models\\hand.obj"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(cornersOutsideHull(path), 0);
    }
}

// Waits for a hull that keeps every mesh vertex: the 42 sample directions of btShapeHull
// miss corners of these two meshes by up to 0.009 beyond the margin.
TEST(CollisionWorld, ShipAndGhostHullsContainTheirMeshes) {
    WorkingDirectory cwd(VELMORA_DATA_DIR);
    for (const char* path : {"Models\\spaceship.obj", "Models\\ghost.obj"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(cornersOutsideHull(path), 0);
    }
}

TEST(CollisionWorld, GhostInsideTheLevelWallTouchesItAndOneUnitAwayDoesNot) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    keepOnlyLevelShipAndCamera(game);
    const btCollisionObject* wall = currentLevel->body.get();

    placeShip(*currentShip, btVector3(0.0f, 0.0f, endWallZ + shipHalfLength - 1.0f));
    detectCollisions(game);
    std::optional<float> inside = closestContact(game, *currentShip, wall);
    ASSERT_TRUE(inside.has_value());
    EXPECT_LE(*inside, 0.0f);
    EXPECT_LT(*inside, -0.25f) << "well inside, not grazing";

    placeShip(*currentShip, btVector3(0.0f, 0.0f, endWallZ + shipHalfLength + 1.0f));
    detectCollisions(game);
    EXPECT_FALSE(touches(game, *currentShip, wall));

    // At the start, in the middle of the tunnel, nothing is near.
    placeShip(*currentShip, btVector3(0.0f, 0.0f, 0.0f));
    detectCollisions(game);
    EXPECT_FALSE(touches(game, *currentShip, wall));
}

TEST(CollisionWorld, RemovedSatelliteLeavesTheGhostPairs) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    Satellite* satellite = game.satelliteList.front();
    const btCollisionObject* body = satellite->body.get();
    placeShip(*currentShip, satellite->body->getWorldTransform().getOrigin());
    detectCollisions(game);
    std::vector<const btCollisionObject*> before = ghostPartners(*currentShip);
    ASSERT_NE(std::find(before.begin(), before.end(), body), before.end());
    ASSERT_TRUE(touches(game, *currentShip, body));

    satellite->removeFromWorld();
    std::vector<const btCollisionObject*> after = ghostPartners(*currentShip);
    EXPECT_EQ(std::find(after.begin(), after.end(), body), after.end());
    detectCollisions(game);
    after = ghostPartners(*currentShip);
    EXPECT_EQ(std::find(after.begin(), after.end(), body), after.end());
    EXPECT_FALSE(closestContact(game, *currentShip, body).has_value());
    // The level is still there for the ghost.
    EXPECT_NE(std::find(after.begin(), after.end(), currentLevel->body.get()), after.end());
}

TEST(CollisionWorld, MovingEntitiesAreKinematicAndStaticOnesStayStatic) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    for (Satellite* satellite : game.satelliteList) {
        EXPECT_TRUE(satellite->body->isKinematicObject());
        EXPECT_EQ(satellite->body->getActivationState(), DISABLE_DEACTIVATION);
    }
    EXPECT_TRUE(currentLevel->body->isStaticObject());
    EXPECT_FALSE(currentLevel->body->isKinematicObject());
    for (Obstacle* obstacle : game.obstacleList) {
        EXPECT_FALSE(obstacle->body->isKinematicObject());
    }
}

TEST(CollisionWorld, KinematicSatelliteCollidesWhereItsMotionStatePutsIt) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    keepOnlyLevelShipAndCamera(game);
    const glm::vec3 start(0.0f, 0.0f, -30.0f);
    Satellite* satellite = addSatellite(game, start);
    const btVector3 moved(4.0f, 3.0f, -30.0f);
    btTransform drawn(btQuaternion(btVector3(0.0f, 1.0f, 0.0f), 0.7f), moved);
    satellite->motionState->setWorldTransform(drawn);

    game.dynamicsWorld->stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
    const btTransform& collision = satellite->body->getWorldTransform();
    EXPECT_TRUE((collision.getOrigin() - moved).fuzzyZero());
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE((collision.getBasis()[row] - drawn.getBasis()[row]).fuzzyZero()) << row;
    }

    // The ship meets it where it is drawn, and no longer where it started.
    placeShip(*currentShip, moved);
    detectCollisions(game);
    EXPECT_TRUE(touches(game, *currentShip, satellite->body.get()));
    placeShip(*currentShip, btVector3(start.x - 4.0f, start.y - 3.0f, start.z));
    detectCollisions(game);
    EXPECT_FALSE(touches(game, *currentShip, satellite->body.get()));
}

TEST(CollisionWorld, FrameOfPlayCarriesTheSpinIntoTheCollisionTransform) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    Satellite* satellite = game.satelliteList.back();
    h.frameAt(1.5);
    h.frameAt(2.0);
    // The step of a frame picks up what the previous frame's update wrote.
    btTransform drawnBefore;
    satellite->motionState->getWorldTransform(drawnBefore);
    h.frameAt(2.25);
    ASSERT_EQ(gameState, Playing);
    const btMatrix3x3& collision = satellite->body->getWorldTransform().getBasis();
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE((collision[row] - drawnBefore.getBasis()[row]).fuzzyZero()) << row;
    }
    EXPECT_FALSE((collision[0] - btVector3(1.0f, 0.0f, 0.0f)).fuzzyZero())
        << "the satellite has turned since the start";
}
