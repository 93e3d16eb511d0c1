#include "entities/Obstacle.h"

#include "app/Game.h"
#include "render/LitDraw.h"
#include "render/ShadowRenderer.h"
#include "render/Textures.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/constants.hpp>

namespace {

constexpr float obstacleRestitution = 0.1f;

} // namespace

Obstacle::Obstacle(Game* game, glm::vec3 startPosition, bool skipTurnZ, bool skipTurnY)
    : Entity(game, startPosition, 3), skipTurnZ(skipTurnZ), skipTurnY(skipTurnY) {}

btMatrix3x3 Obstacle::orientation() const {
    btQuaternion rotation = btQuaternion::getIdentity();
    if (!skipTurnZ) {
        rotation = btQuaternion(btVector3(0.0f, 0.0f, 1.0f), glm::half_pi<float>());
    }
    if (!skipTurnY) {
        rotation = btQuaternion(btVector3(0.0f, 1.0f, 0.0f), glm::half_pi<float>());
    }
    return btMatrix3x3(rotation);
}

void Obstacle::init() {
    prepareMeshAndShape(ShapeForm::ConvexHull);
    btTransform start(orientation(), btVector3(startPosition.x, startPosition.y, startPosition.z));
    createBody(start, Motion::Static, obstacleRestitution);
    writeMotionState(start);
    useProgram("Shaders\\ShadowMappingShader.vert", "Shaders\\ShadowMappingShader.frag");
    diffuseSamplerLocation = glGetUniformLocation(program, "myTextureSampler");
    diffuseTexture = loadBmpFromPath("Models\\Levels\\floor.bmp");
    initialised = true;
}

void Obstacle::drawShadow() {
    game->shadowRenderer->drawIntoShadowMap(*this);
}

void Obstacle::draw(glm::mat4 view, glm::mat4 projection) {
    if (!culled()) {
        drawShadowMapped(*game, *this, *game->shadowRenderer, view, projection);
    }
}
