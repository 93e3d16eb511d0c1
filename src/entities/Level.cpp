#include "entities/Level.h"

#include "render/LitDraw.h"
#include "render/Mesh.h"

#include <btBulletDynamicsCommon.h>

Level::Level(Game* game) : Entity(game, glm::vec3(0.0f), 1) {
    loadObj(*this, "Models\\Levels\\level.obj");
}

void Level::init() {
    prepareMeshAndShape(ShapeForm::StaticMesh);
    btTransform start;
    start.setIdentity();
    createBody(start, Motion::Static);
    body->setContactProcessingThreshold(0.0f);
    useProgram("Shaders\\NormalMapping.vert", "Shaders\\NormalMapping.frag");
    loadNormalMappedTextures("Models/Levels/floor_diffuse.DDS", "Models\\Levels\\floor_normal.bmp",
                             "Models/Levels/floor_specular.DDS");
    initialised = true;
}

void Level::draw(glm::mat4 view, glm::mat4 projection) {
    drawNormalMapped(*game, *this, view, projection);
}

void Level::removeFromWorld() {
    takeBodyOutOfWorld();
}
