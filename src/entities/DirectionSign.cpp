#include "entities/DirectionSign.h"

#include "app/Game.h"
#include "render/LitDraw.h"
#include "render/Mesh.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

DirectionSign::DirectionSign(Game* game, glm::vec3 startPosition, float rotationCode,
                             std::string direction)
    : Entity(game, startPosition, 4), direction(std::move(direction)), rotationCode(rotationCode) {
    loadObj(*this, "Models\\direction.obj");
}

btQuaternion DirectionSign::rotation() const {
    const float quarter = glm::half_pi<float>();
    const btVector3 xAxis(1.0f, 0.0f, 0.0f), yAxis(0.0f, 1.0f, 0.0f), zAxis(0.0f, 0.0f, 1.0f);
    if (rotationCode == 1.0f) {
        return btQuaternion(xAxis, quarter);
    }
    if (rotationCode == 2.0f) {
        return btQuaternion(yAxis, quarter);
    }
    if (rotationCode == 3.0f) {
        return btQuaternion(zAxis, quarter);
    }
    if (rotationCode == 4.0f) {
        return btQuaternion(xAxis, -quarter);
    }
    if (rotationCode == 5.0f) {
        return btQuaternion(yAxis, 2.0f * quarter);
    }
    if (rotationCode == 6.0f) {
        return btQuaternion(yAxis, -quarter);
    }
    return btQuaternion::getIdentity();
}

void DirectionSign::init() {
    prepareMeshAndShape(ShapeForm::StaticMesh);
    btTransform identity;
    identity.setIdentity();
    createBody(identity, Motion::Static);
    body->setContactProcessingThreshold(0.0f);
    btQuaternion turn = rotation();
    glm::quat glmTurn(turn.getW(), turn.getX(), turn.getY(), turn.getZ());
    modelMatrix = glm::translate(glm::mat4(1.0f), startPosition) * glm::mat4_cast(glmTurn);
    body->setWorldTransform(
        btTransform(turn, btVector3(startPosition.x, startPosition.y, startPosition.z)));
    useProgram("Shaders\\NormalMapping.vert", "Shaders\\NormalMapping.frag");
    loadNormalMappedTextures("Models/direction_" + direction + "_diffuse.dds",
                             "Models\\direction_" + direction + "_normal.bmp",
                             "Models/direction_" + direction + "_specular.dds");
    initialised = true;
}

void DirectionSign::draw(glm::mat4 view, glm::mat4 projection) {
    if (!culled()) {
        drawNormalMapped(*game, *this, view, projection);
    }
}
