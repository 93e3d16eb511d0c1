#include "entities/Entity.h"

#include "app/Game.h"
#include "render/Culling.h"
#include "render/Mesh.h"
#include "render/Shaders.h"
#include "render/Textures.h"
#include "ship/CollisionShapes.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/type_ptr.hpp>

Entity::Entity(Game* game, glm::vec3 startPosition, int kind)
    : game(game), startPosition(startPosition) {
    this->kind = kind;
}

Entity::~Entity() {
    takeBodyOutOfWorld();
    releaseGlObjects();
}

void Entity::removeFromWorld() {
    takeBodyOutOfWorld();
    game->eraseObject(this);
}

void Entity::takeBodyOutOfWorld() {
    if (inWorld && game->dynamicsWorld) {
        game->dynamicsWorld->removeRigidBody(body.get());
    }
    inWorld = false;
}

void Entity::setTextureFilter(int mode, bool flag) {
    SceneObject::setTextureFilter(mode, flag);
}

void Entity::setMipmapMode(int mode, bool flag) {
    SceneObject::setMipmapMode(mode, flag);
}

void Entity::prepareMeshAndShape(ShapeForm form) {
    flattenTriangles(*this);
    uploadMesh(*this);
    triangleMesh = buildTriangleMesh(flatPositions);
    if (form == ShapeForm::ConvexHull) {
        shape = buildConvexHull(*triangleMesh);
    } else {
        shape = buildStaticMeshShape(*triangleMesh);
    }
}

void Entity::createBody(const btTransform& start, Motion motion, float restitution) {
    motionState = std::make_unique<btDefaultMotionState>(start);
    btVector3 inertia(0.0f, 0.0f, 0.0f);
    shape->calculateLocalInertia(0.0f, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, motionState.get(), shape.get(), inertia);
    info.m_restitution = restitution;
    body = std::make_unique<btRigidBody>(info);
    if (motion == Motion::Kinematic) {
        // Moving entities collide where they are drawn: Bullet reads their motion state.
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
        body->setActivationState(DISABLE_DEACTIVATION);
    }
    body->setUserPointer(static_cast<SceneObject*>(this));
    game->dynamicsWorld->addRigidBody(body.get());
    inWorld = true;
}

void Entity::useProgram(const std::string& vertexPath, const std::string& fragmentPath) {
    glDeleteProgram(program);
    program = loadShaders(vertexPath, fragmentPath);
}

void Entity::loadNormalMappedTextures(const std::string& diffuse, const std::string& normal,
                                      const std::string& specular) {
    diffuseSamplerLocation = glGetUniformLocation(program, "DiffuseTextureSampler");
    normalSamplerLocation = glGetUniformLocation(program, "NormalTextureSampler");
    specularSamplerLocation = glGetUniformLocation(program, "SpecularTextureSampler");
    diffuseTexture = loadDdsFromPath(diffuse);
    normalTexture = loadBmpFromPath(normal);
    specularTexture = loadDdsFromPath(specular);
}

bool Entity::culled() {
    if (!game->frustumCulling) {
        return false;
    }
    CullingBox box = computeCullingBox(*this);
    return !isBoxInFrustum(box.centre, box.halfExtent);
}

btTransform Entity::readMotionState() {
    btTransform transform;
    motionState->getWorldTransform(transform);
    transform.getOpenGLMatrix(glm::value_ptr(modelMatrix));
    return transform;
}

void Entity::writeMotionState(const btTransform& transform) {
    motionState->setWorldTransform(transform);
    transform.getOpenGLMatrix(glm::value_ptr(modelMatrix));
}
