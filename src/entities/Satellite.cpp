#include "entities/Satellite.h"

#include "app/Game.h"
#include "render/LitDraw.h"
#include "render/ShadowRenderer.h"

#include <btBulletDynamicsCommon.h>
#include <cstdlib>
#include <glm/gtc/constants.hpp>

Satellite::Satellite(Game* game, glm::vec3 startPosition)
    : Entity(game, startPosition, 2), spinReverse(std::rand() % 2) {}

void Satellite::init() {
    prepareMeshAndShape(ShapeForm::ConvexHull);
    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(startPosition.x, startPosition.y, startPosition.z));
    createBody(start, Motion::Kinematic);
    writeMotionState(start);
    useProgram("Shaders\\SatelliteShader.vert", "Shaders\\SatelliteShader.frag");
    loadNormalMappedTextures("Models/satellite_diffuse.DDS", "Models\\satellite_normal.bmp",
                             "Models/satellite_specular.DDS");
    initialised = true;
}

void Satellite::update(double seconds) {
    btTransform transform = readMotionState();
    // A quarter turn per second about the satellite's own vertical axis.
    float angle = static_cast<float>(seconds) * glm::half_pi<float>();
    if (spinReverse != 0) {
        angle = -angle;
    }
    btMatrix3x3 spin(btQuaternion(btVector3(0.0f, 1.0f, 0.0f), angle));
    transform.setBasis(transform.getBasis() * spin);
    writeMotionState(transform);
}

void Satellite::drawShadow() {
    game->shadowRenderer->drawIntoShadowMap(*this);
}

void Satellite::draw(glm::mat4 view, glm::mat4 projection) {
    if (!culled()) {
        drawNormalShadowMapped(*game, *this, *game->shadowRenderer, view, projection);
    }
}
