#include "app/Game.h"
#include "app/World.h"
#include "entities/DirectionSign.h"
#include "entities/Level.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "render/Mesh.h"
#include "ship/Ship.h"
#include "support/GameHarness.h"
#include "world/WorldProbe.h"

#include <GL/glew.h>
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

// What a removal may change: the world's bodies and the game's list.
struct WorldSnapshot {
    int collisionObjects;
    std::vector<App*> objects;
    std::size_t satellites;
    std::size_t obstacles;
    std::size_t signs;

    bool operator==(const WorldSnapshot&) const = default;
};

WorldSnapshot snapshotOf(const Game& game) {
    return {game.dynamicsWorld->getNumCollisionObjects(), game.objects, game.satelliteList.size(),
            game.obstacleList.size(), game.signList.size()};
}

bool inWorld(const Game& game, const btCollisionObject* body) {
    const btCollisionObjectArray& all = game.dynamicsWorld->getCollisionObjectArray();
    return all.findLinearSearch(const_cast<btCollisionObject*>(body)) < all.size();
}

bool listed(const Game& game, const App* object) {
    return std::find(game.objects.begin(), game.objects.end(), object) != game.objects.end();
}

// The counts that init derives from a mesh.
struct MeshCounts {
    std::size_t flatPositions, cornerTangents, indices, indexedPositions, indexedTangents;
    bool operator==(const MeshCounts&) const = default;
};

MeshCounts countsOf(const SceneObject& mesh) {
    return {mesh.flatPositions.size(), mesh.cornerTangents.size(), mesh.indices.size(),
            mesh.indexedPositions.size(), mesh.indexedTangents.size()};
}

// Starts a game, ends it and goes back to the intro.
void playOneGame(GameHarness& h, double at) {
    h.startPlaying(at);
    h.game->endGame();
    gameState = Lost;
    h.returnToIntro(at);
}

} // namespace

TEST(EntityRemoval, RemovingTwiceLeavesTheWorldAndListsAsOnce) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    std::vector<Entity*> entities = {game.satelliteList[3], game.obstacleList[1], game.signList[5]};
    for (Entity* entity : entities) {
        SCOPED_TRACE(entity->kind);
        const WorldSnapshot before = snapshotOf(game);
        ASSERT_TRUE(inWorld(game, entity->body.get()));
        entity->removeFromWorld();
        const WorldSnapshot once = snapshotOf(game);
        EXPECT_EQ(once.collisionObjects, before.collisionObjects - 1);
        EXPECT_EQ(once.objects.size(), before.objects.size() - 1);
        EXPECT_FALSE(inWorld(game, entity->body.get()));
        EXPECT_FALSE(listed(game, entity));
        entity->removeFromWorld();
        EXPECT_EQ(snapshotOf(game), once);
    }
}

TEST(EntityRemoval, LevelLeavesTheWorldButStaysListed) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    const WorldSnapshot before = snapshotOf(game);
    currentLevel->removeFromWorld();
    const WorldSnapshot once = snapshotOf(game);
    EXPECT_EQ(once.collisionObjects, before.collisionObjects - 1);
    EXPECT_EQ(once.objects, before.objects);
    EXPECT_FALSE(inWorld(game, currentLevel->body.get()));
    currentLevel->removeFromWorld();
    EXPECT_EQ(snapshotOf(game), once);
}

TEST(EntityRemoval, PerKindListsAreRefilledByTheNextGame) {
    GameHarness h;
    playOneGame(h, 1.0);
    h.startPlaying(2.0);
    Game& game = *h.game;
    EXPECT_EQ(game.signList.size(), 16u);
    EXPECT_EQ(game.obstacleList.size(), 3u);
    EXPECT_EQ(game.satelliteList.size(), 28u);
    for (Entity* entity : game.signList) {
        EXPECT_TRUE(listed(game, entity));
    }
    for (Entity* entity : game.obstacleList) {
        EXPECT_TRUE(listed(game, entity));
    }
    for (Entity* entity : game.satelliteList) {
        EXPECT_TRUE(listed(game, entity));
    }
}

TEST(EntityMesh, CopiedMeshInitialisesLikeItsOwnLoadedMesh) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    struct Case {
        const char* path;
        std::unique_ptr<Entity> own, prototype, copy;
    };
    std::vector<Case> cases;
    cases.push_back({"Models\\satellite.obj", std::make_unique<Satellite>(&game, glm::vec3(0.0f)),
                     std::make_unique<Satellite>(&game, glm::vec3(0.0f)),
                     std::make_unique<Satellite>(&game, glm::vec3(0.0f, 0.0f, -20.0f))});
    cases.push_back(
        {"Models\\plane.obj", std::make_unique<Obstacle>(&game, glm::vec3(0.0f), true, true),
         std::make_unique<Obstacle>(&game, glm::vec3(0.0f), true, true),
         std::make_unique<Obstacle>(&game, glm::vec3(0.0f, 0.0f, -20.0f), true, false)});
    for (Case& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(loadObj(*c.own, c.path));
        c.own->init();
        // As world setup does: the prototype is prepared, and its lists are copied.
        ASSERT_TRUE(loadObj(*c.prototype, c.path));
        flattenTriangles(*c.prototype);
        uploadMesh(*c.prototype);
        c.copy->copyMeshFrom(*c.prototype);
        c.copy->init();
        EXPECT_TRUE(c.copy->initialised);
        EXPECT_GT(c.own->indices.size(), 0u);
        EXPECT_EQ(countsOf(*c.copy), countsOf(*c.own));
        EXPECT_EQ(countsOf(*c.copy), countsOf(*c.prototype));
        EXPECT_EQ(c.copy->triangles.size(), c.own->triangles.size());
        c.own->removeFromWorld();
        c.copy->removeFromWorld();
    }
}

TEST(EntityTextures, SignWithMissingTexturesInitialisesAndDraws) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    auto sign =
        std::make_unique<DirectionSign>(&game, glm::vec3(0.0f, 0.0f, -30.0f), 0.0f, "sideways");
    DirectionSign* raw = sign.get();
    game.addObject(std::move(sign));
    raw->init();
    EXPECT_TRUE(raw->initialised);
    EXPECT_EQ(raw->diffuseTexture, 0u);
    EXPECT_EQ(raw->normalTexture, 0u);
    EXPECT_EQ(raw->specularTexture, 0u);
    EXPECT_NE(raw->program, 0u);
    EXPECT_TRUE(inWorld(game, raw->body.get()));

    game.frustumCulling = false;
    game.objectCount = 0;
    game.polygonCount = 0;
    while (glGetError() != GL_NO_ERROR) {
    }
    raw->draw(game.view, game.projection);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(game.objectCount, 1);
    EXPECT_EQ(game.polygonCount, static_cast<int>(raw->indices.size() / 3));

    // The whole frame draws it too.
    h.frameAt(1.1);
    EXPECT_EQ(gameState, Playing);
}

TEST(EntityLifetime, TwentyGamesKeepTheWorldTheSameSize) {
    GameHarness h;
    h.startPlaying(1.0);
    const int firstCount = h.game->dynamicsWorld->getNumCollisionObjects();
    const std::size_t firstObjects = h.game->objects.size();
    EXPECT_GT(firstCount, 40);
    for (int game = 1; game < 20; ++game) {
        SCOPED_TRACE(game);
        btDiscreteDynamicsWorld* old = h.game->dynamicsWorld.get();
        h.game->endGame();
        // Every entity has left the finished game's world.
        EXPECT_EQ(old->getNumCollisionObjects(), 0);
        EXPECT_TRUE(h.game->objects.empty());
        gameState = Lost;
        h.returnToIntro(1.0 + game);
        h.startPlaying(1.0 + game);
        ASSERT_EQ(gameState, Playing);
        EXPECT_EQ(h.game->dynamicsWorld->getNumCollisionObjects(), firstCount);
        EXPECT_EQ(h.game->objects.size(), firstObjects);
    }
}

TEST(EntityLifetime, EndedGameReleasesItsGlObjects) {
    GameHarness h;
    h.startPlaying(1.0);
    Game& game = *h.game;
    std::vector<GLuint> textures, programs, arrays, buffers;
    for (Entity* entity :
         {static_cast<Entity*>(currentLevel), static_cast<Entity*>(game.satelliteList.front()),
          static_cast<Entity*>(game.signList.front())}) {
        textures.push_back(entity->diffuseTexture);
        programs.push_back(entity->program);
        arrays.push_back(entity->vertexArray);
        buffers.push_back(entity->indexBuffer);
    }
    for (GLuint texture : textures) {
        ASSERT_TRUE(glIsTexture(texture));
    }
    game.endGame();
    for (GLuint texture : textures) {
        EXPECT_FALSE(glIsTexture(texture)) << texture;
    }
    for (GLuint program : programs) {
        EXPECT_FALSE(glIsProgram(program)) << program;
    }
    for (GLuint array : arrays) {
        EXPECT_FALSE(glIsVertexArray(array)) << array;
    }
    for (GLuint buffer : buffers) {
        EXPECT_FALSE(glIsBuffer(buffer)) << buffer;
    }
}
