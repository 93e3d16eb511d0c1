#pragma once

#include "scene/App.h"
#include "scene/SceneObject.h"

#include <LinearMath/btTransform.h>
#include <glm/vec3.hpp>
#include <memory>
#include <vector>

class Game;
class btConvexShape;
class btGhostPairCallback;
class btKinematicCharacterController;
class btPairCachingGhostObject;
class btPersistentManifold;
class btTriangleMesh;

// Ship speed in world units per controller update and second of frame time.
extern float shipSpeed;

// The player's ship: flies along the axes on its own, turns in quarter turns with the
// arrows, slides with W, A, S, D, and turns what it touches into hacks, hits and crashes.
class Ship : public App, public SceneObject {
public:
    Ship(Game* game, glm::vec3 startPosition);
    ~Ship() override;

    void init() override;
    void update(double deltaSeconds) override;
    void drawShadow() override;
    void draw(glm::mat4 view, glm::mat4 projection) override;
    void removeFromWorld() override;
    void setTextureFilter(int mode, bool flag) override;
    void setMipmapMode(int mode, bool flag) override;

    // The rounded third row of the ship's rotation basis.
    glm::vec3 roundedHeadingRow() const;
    glm::vec3 position() const;

    Game* game;
    std::unique_ptr<btTriangleMesh> hullMesh;
    std::unique_ptr<btConvexShape> hullShape;
    std::unique_ptr<btPairCachingGhostObject> ghostObject;
    std::unique_ptr<btKinematicCharacterController> controller;
    std::unique_ptr<btGhostPairCallback> ghostPairCallback;
    glm::vec3 startPosition;
    bool steered = false;
    bool cameraFlipped = false;
    bool upLatched = false;
    bool leftLatched = false;
    bool downLatched = false;
    bool rightLatched = false;
    bool turningUp = false;
    bool turningLeft = false;
    bool turningDown = false;
    bool turningRight = false;
    glm::vec3 previousHeading{0.0f, 0.0f, -1.0f};
    float turnRemaining = 0.0f;
    float nextContactTime = 0.0f;
    // Direction of flight chosen by the last completed turn; scaled by every frame's step.
    glm::vec3 walkDirection{0.0f, 0.0f, -1.0f};

private:
    void buildCollision();
    void loadDrawingResources();
    void slide(float dt);
    bool readTurnKeys();
    void readTurnKey(int key, bool allowed, bool& latched, bool& turning, bool& started);
    bool turning() const;
    void advanceTurn(float dt);
    void completeTurn(bool yaw, bool up);
    const btTransform& ghostTransform() const;
    void handleContacts();
    // Returns false when a crash ends the walk.
    bool handleContactPoint(const btPersistentManifold& manifold, std::vector<App*>& removed);
    void takeHit();
    bool inWorld = false;
};
