#pragma once

#include "scene/App.h"
#include "scene/SceneObject.h"

#include <LinearMath/btTransform.h>
#include <glm/vec3.hpp>
#include <memory>
#include <string>

class Game;
class btCollisionShape;
class btDefaultMotionState;
class btRigidBody;
class btTriangleMesh;

// What every world entity shares: its mesh, its collision body in the game's world and
// the usual way of building, drawing and removing them.
class Entity : public App, public SceneObject {
public:
    Entity(Game* game, glm::vec3 startPosition, int kind);
    ~Entity() override;

    // Takes the body out of the world and the entity out of the game's list; repeatable.
    void removeFromWorld() override;
    void setTextureFilter(int mode, bool flag) override;
    void setMipmapMode(int mode, bool flag) override;

    // The motion state's transform, also as the model matrix.
    btTransform readMotionState();
    void writeMotionState(const btTransform& transform);

    Game* game;
    std::unique_ptr<btTriangleMesh> triangleMesh;
    std::unique_ptr<btCollisionShape> shape;
    std::unique_ptr<btDefaultMotionState> motionState;
    std::unique_ptr<btRigidBody> body;
    glm::vec3 startPosition;

protected:
    enum class ShapeForm { ConvexHull, StaticMesh };
    enum class Motion { Static, Kinematic };

    // Flattens and uploads the mesh, then builds the collision shape from its corners.
    void prepareMeshAndShape(ShapeForm form);
    // Creates the mass-0 body at the start transform and adds it to the game's world.
    void createBody(const btTransform& start, Motion motion, float restitution = 0.0f);
    void takeBodyOutOfWorld();
    void useProgram(const std::string& vertexPath, const std::string& fragmentPath);
    void loadNormalMappedTextures(const std::string& diffuse, const std::string& normal,
                                  const std::string& specular);
    // True when culling is on and the entity's box lies wholly outside the view.
    bool culled();

private:
    bool inWorld = false;
};
