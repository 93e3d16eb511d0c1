#include "ship/Ship.h"

#include "app/Game.h"
#include "app/InputClock.h"
#include "audio/Sound.h"
#include "render/LitDraw.h"
#include "render/Mesh.h"
#include "render/Shaders.h"
#include "render/ShadowRenderer.h"
#include "render/Textures.h"
#include "ship/CollisionShapes.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <BulletDynamics/Character/btKinematicCharacterController.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/type_ptr.hpp>

float shipSpeed = 12.0f;

namespace {

constexpr float cruiseSpeed = 12.0f;
constexpr float fastSpeed = 16.0f;
constexpr float fastestSpeed = 20.0f;
constexpr float slideSpeed = 20.0f;
constexpr float contactCooldown = 0.4f;
// The first playing frame spans the whole loading time; moving by all of it would carry
// the ship into the far wall, so one frame moves the ship by at most this much time.
constexpr float longestMotionStep = 0.1f;
constexpr short characterGroup = btBroadphaseProxy::CharacterFilter;
constexpr short characterMask = btBroadphaseProxy::StaticFilter | btBroadphaseProxy::DefaultFilter;

glm::vec3 rounded(const btVector3& v) {
    return glm::vec3(std::round(v.x()), std::round(v.y()), std::round(v.z()));
}

bool pressed(Game* game, int key) {
    return inputClock().key(game->window, key) == GLFW_PRESS;
}

bool released(Game* game, int key) {
    return inputClock().key(game->window, key) == GLFW_RELEASE;
}

float now() {
    return static_cast<float>(inputClock().time());
}

SceneObject* sceneObjectOf(const btCollisionObject* object) {
    return object ? static_cast<SceneObject*>(object->getUserPointer()) : nullptr;
}

int kindOf(const btCollisionObject* object) {
    SceneObject* sceneObject = sceneObjectOf(object);
    return sceneObject ? sceneObject->kind : 0;
}

App* appOf(const btCollisionObject* object) {
    return dynamic_cast<App*>(sceneObjectOf(object));
}

} // namespace

Ship::Ship(Game* game, glm::vec3 startPosition) : game(game), startPosition(startPosition) {
    kind = 5;
    loadObj(*this, "Models\\spaceship.obj");
}

Ship::~Ship() {
    removeFromWorld();
    releaseGlObjects();
    if (ghostPairCallback && game->broadphase) {
        game->broadphase->getOverlappingPairCache()->setInternalGhostPairCallback(nullptr);
    }
}

void Ship::init() {
    flattenTriangles(*this);
    uploadMesh(*this);
    buildCollision();
    loadDrawingResources();
    steered = false;
    upLatched = leftLatched = downLatched = rightLatched = false;
    turningUp = turningLeft = turningDown = turningRight = false;
    previousHeading = glm::vec3(0.0f, 0.0f, -1.0f);
    walkDirection = glm::vec3(0.0f, 0.0f, -1.0f);
    shipSpeed = cruiseSpeed;
    initialised = true;
}

void Ship::buildCollision() {
    hullMesh = buildTriangleMesh(flatPositions);
    hullShape = buildConvexHull(*hullMesh);
    ghostObject = std::make_unique<btPairCachingGhostObject>();
    ghostObject->setCollisionShape(hullShape.get());
    // Without contact response the controller neither stops the ship short of what it would
    // hit nor pushes it back out, so touching a wall or a satellite shows up as a contact.
    ghostObject->setCollisionFlags(btCollisionObject::CF_CHARACTER_OBJECT |
                                   btCollisionObject::CF_NO_CONTACT_RESPONSE);
    ghostObject->setUserPointer(static_cast<SceneObject*>(this));
    // Keeps the ghost object's own pair cache in step with the broadphase.
    ghostPairCallback = std::make_unique<btGhostPairCallback>();
    game->broadphase->getOverlappingPairCache()->setInternalGhostPairCallback(
        ghostPairCallback.get());
    controller = std::make_unique<btKinematicCharacterController>(
        ghostObject.get(), hullShape.get(), 0.0f, btVector3(0.0f, 1.0f, 0.0f));
    controller->setGravity(btVector3(0.0f, 0.0f, 0.0f));
    // The controller turns its object to match the up axis it is given, so the ship's
    // start transform is set once the controller exists.
    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(startPosition.x, startPosition.y, startPosition.z));
    ghostObject->setWorldTransform(start);
    game->dynamicsWorld->addCollisionObject(ghostObject.get(), characterGroup, characterMask);
    game->dynamicsWorld->addAction(controller.get());
    inWorld = true;
}

void Ship::loadDrawingResources() {
    glDeleteProgram(program);
    program = loadShaders("Shaders\\ShadowMappingShader.vert", "Shaders\\ShadowMappingShader.frag");
    diffuseSamplerLocation = glGetUniformLocation(program, "myTextureSampler");
    diffuseTexture = loadBmpFromPath("Models\\ship.bmp");
    normalTexture = loadBmpFromPath("Models\\ship.bmp");
}

void Ship::removeFromWorld() {
    if (inWorld && game->dynamicsWorld) {
        game->dynamicsWorld->removeCollisionObject(ghostObject.get());
        game->dynamicsWorld->removeAction(controller.get());
    }
    inWorld = false;
}

void Ship::setTextureFilter(int mode, bool flag) {
    SceneObject::setTextureFilter(mode, flag);
}

void Ship::setMipmapMode(int mode, bool flag) {
    SceneObject::setMipmapMode(mode, flag);
}

void Ship::drawShadow() {
    game->shadowRenderer->drawIntoShadowMap(*this);
}

void Ship::draw(glm::mat4 view, glm::mat4 projection) {
    drawShadowMapped(*game, *this, *game->shadowRenderer, view, projection);
}

const btTransform& Ship::ghostTransform() const {
    return ghostObject->getWorldTransform();
}

glm::vec3 Ship::roundedHeadingRow() const {
    return rounded(ghostTransform().getBasis().getRow(2));
}

glm::vec3 Ship::position() const {
    const btVector3& origin = ghostTransform().getOrigin();
    return glm::vec3(origin.x(), origin.y(), origin.z());
}

bool Ship::turning() const {
    return turningUp || turningLeft || turningDown || turningRight;
}

void Ship::update(double deltaSeconds) {
    if (game->paused) {
        return;
    }
    float dt = static_cast<float>(deltaSeconds);
    if (game->score > 850) {
        shipSpeed = fastestSpeed;
    } else if (game->score > 500) {
        shipSpeed = fastSpeed;
    }
    const float motionSeconds = std::min(dt, longestMotionStep);
    const float step = motionSeconds * shipSpeed;
    controller->updateAction(game->dynamicsWorld.get(), dt);
    if (!turning()) {
        slide(motionSeconds);
    }
    glm::vec3 headingBefore = roundedHeadingRow();
    bool started = readTurnKeys();
    advanceTurn(dt);
    if (started) {
        previousHeading = headingBefore;
    }
    if (headingBefore == glm::vec3(0.0f, 0.0f, -1.0f)) {
        cameraFlipped = true;
    } else if (headingBefore == glm::vec3(0.0f, 0.0f, 1.0f)) {
        cameraFlipped = false;
    }
    // The walk is a displacement per controller update, so it follows this frame's time.
    controller->setWalkDirection(btVector3(walkDirection.x, walkDirection.y, walkDirection.z) *
                                 step);
    ghostTransform().getOpenGLMatrix(glm::value_ptr(modelMatrix));
    handleContacts();
}

void Ship::slide(float dt) {
    const glm::vec3 r = roundedHeadingRow();
    const float k = slideSpeed * dt;
    glm::vec3 offset(0.0f);
    // W and S move along the vertical of the view: world y, or z while flying vertically.
    auto vertical = [&](float sign) {
        if (r.y > 0.0f) {
            offset.z += sign * k;
        } else if (r.y < 0.0f) {
            offset.z -= sign * k;
        } else {
            offset.y += sign * k;
        }
    };
    // A and D move across the heading; the deciding axis depends on where the ship points.
    auto sideways = [&](float sign) {
        if (r.x > 0.0f) {
            offset.z -= sign * k;
        } else if (r.x < 0.0f) {
            offset.z += sign * k;
        } else if (r.y != 0.0f) {
            offset.x += previousHeading.z > 0.0f   ? -sign * k
                        : previousHeading.z < 0.0f ? sign * k
                                                   : 0.0f;
        } else {
            offset.x += r.z < 0.0f ? sign * k : r.z > 0.0f ? -sign * k : 0.0f;
        }
    };
    if (pressed(game, GLFW_KEY_W)) {
        vertical(1.0f);
    }
    if (pressed(game, GLFW_KEY_A)) {
        sideways(1.0f);
    }
    if (pressed(game, GLFW_KEY_S)) {
        vertical(-1.0f);
    }
    if (pressed(game, GLFW_KEY_D)) {
        sideways(-1.0f);
    }
    btTransform transform = ghostTransform();
    transform.setOrigin(transform.getOrigin() + btVector3(offset.x, offset.y, offset.z));
    ghostObject->setWorldTransform(transform);
}

bool Ship::readTurnKeys() {
    const glm::vec3 r = roundedHeadingRow();
    const bool pitchAllowed = r.x != 1.0f && r.x != -1.0f;
    const bool yawAllowed = r.y != 1.0f && r.y != -1.0f;
    bool started = false;
    readTurnKey(GLFW_KEY_UP, pitchAllowed, upLatched, turningUp, started);
    readTurnKey(GLFW_KEY_LEFT, yawAllowed, leftLatched, turningLeft, started);
    readTurnKey(GLFW_KEY_DOWN, pitchAllowed, downLatched, turningDown, started);
    readTurnKey(GLFW_KEY_RIGHT, yawAllowed, rightLatched, turningRight, started);
    return started;
}

void Ship::readTurnKey(int key, bool allowed, bool& latched, bool& turningFlag, bool& started) {
    if (!allowed) {
        return;
    }
    if (pressed(game, key)) {
        steered = true;
        if (!latched && !turning()) {
            turningFlag = true;
            latched = true;
            turnRemaining = glm::half_pi<float>();
            started = true;
        }
    }
    if (released(game, key)) {
        latched = false;
    }
}

void Ship::advanceTurn(float dt) {
    if (!turning()) {
        return;
    }
    const bool yaw = turningLeft || turningRight;
    const btVector3 axis = yaw ? btVector3(0.0f, 1.0f, 0.0f) : btVector3(1.0f, 0.0f, 0.0f);
    const float sign = (turningLeft || turningUp) ? 1.0f : -1.0f;
    const float frameAngle = dt * glm::pi<float>();
    const bool finishes = turnRemaining < frameAngle;
    const float angle = finishes ? turnRemaining : frameAngle;
    btTransform transform = ghostTransform();
    transform.setBasis(transform.getBasis() * btMatrix3x3(btQuaternion(axis, sign * angle)));
    ghostObject->setWorldTransform(transform);
    turnRemaining -= angle;
    if (finishes) {
        completeTurn(yaw, turningUp);
    }
}

void Ship::completeTurn(bool yaw, bool up) {
    turnRemaining = 0.0f;
    turningUp = turningLeft = turningDown = turningRight = false;
    btTransform transform = ghostTransform();
    btMatrix3x3 basis = transform.getBasis();
    const glm::vec3 n = rounded(basis.getRow(2));
    basis[2] = btVector3(n.x, n.y, n.z);
    transform.setBasis(basis);
    ghostObject->setWorldTransform(transform);
    const glm::vec3 p = previousHeading;
    if (yaw) {
        if (n.z == -1.0f) {
            walkDirection = glm::vec3(0.0f, 0.0f, 1.0f);
        } else if (n.z == 1.0f) {
            walkDirection = glm::vec3(0.0f, 0.0f, -1.0f);
        } else {
            walkDirection = glm::vec3(n.x == 1.0f ? 1.0f : -1.0f, 0.0f, 0.0f);
        }
        return;
    }
    // Pitching leaves a vertical flight back along z, or enters one from z.
    const float climb = up ? 1.0f : -1.0f;
    if (p.y == -climb) {
        walkDirection = glm::vec3(0.0f, 0.0f, -1.0f);
    } else if (p.y == climb) {
        walkDirection = glm::vec3(0.0f, 0.0f, 1.0f);
    } else if (p.z == 1.0f || p.z == -1.0f) {
        walkDirection = glm::vec3(0.0f, climb, 0.0f);
    }
}

void Ship::handleContacts() {
    // Removals wait until the walk is over, so no pair or manifold is read after its
    // object has left the world; contacts of an object already removed are skipped.
    std::vector<std::pair<btBroadphaseProxy*, btBroadphaseProxy*>> pairs;
    btBroadphasePairArray& overlapping =
        ghostObject->getOverlappingPairCache()->getOverlappingPairArray();
    for (int i = 0; i < overlapping.size(); ++i) {
        pairs.emplace_back(overlapping[i].m_pProxy0, overlapping[i].m_pProxy1);
    }
    std::vector<App*> removed;
    btManifoldArray manifolds;
    bool crashedNow = false;
    for (const auto& [proxy0, proxy1] : pairs) {
        btBroadphasePair* pair = game->dynamicsWorld->getPairCache()->findPair(proxy0, proxy1);
        if (!pair || !pair->m_algorithm) {
            continue;
        }
        manifolds.clear();
        pair->m_algorithm->getAllContactManifolds(manifolds);
        for (int m = 0; m < manifolds.size() && !crashedNow; ++m) {
            const btPersistentManifold& manifold = *manifolds[m];
            if (std::find(removed.begin(), removed.end(), appOf(manifold.getBody0())) !=
                    removed.end() ||
                std::find(removed.begin(), removed.end(), appOf(manifold.getBody1())) !=
                    removed.end()) {
                continue;
            }
            for (int p = 0; p < manifold.getNumContacts() && !crashedNow; ++p) {
                if (manifold.getContactPoint(p).getDistance() <= 0.0f) {
                    crashedNow = !handleContactPoint(manifold, removed);
                }
            }
        }
        if (crashedNow) {
            break;
        }
    }
    for (App* object : removed) {
        object->removeFromWorld();
    }
}

bool Ship::handleContactPoint(const btPersistentManifold& manifold, std::vector<App*>& removed) {
    const int kind0 = kindOf(manifold.getBody0());
    const int kind1 = kindOf(manifold.getBody1());
    const btCollisionObject* other = kind0 == 5 ? manifold.getBody1() : manifold.getBody0();
    const int otherKind = kind0 == 5 ? kind1 : kind0;
    const bool involvesShip = kind0 == 5 || kind1 == 5;
    if (involvesShip && (otherKind == 2 || otherKind == 6)) {
        if (now() >= nextContactTime) {
            nextContactTime = now() + contactCooldown;
            removed.push_back(appOf(other));
            if (otherKind == 2) {
                ++game->hacks;
                playSound("hack");
            } else {
                takeHit();
            }
        }
        return true;
    }
    playSound("crash");
    game->crashed = true;
    return false;
}

void Ship::takeHit() {
    // A hit during the flash of an earlier one costs nothing.
    if (game->flash) {
        return;
    }
    --game->lives;
    playSound("hit");
    if (game->lives > 0) {
        game->startFlash(now());
    }
}
