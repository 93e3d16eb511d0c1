#include "app/Game.h"

#include "app/Console.h"
#include "app/DisplayConfig.h"
#include "app/InputClock.h"
#include "app/LevelOne.h"
#include "app/World.h"
#include "audio/Sound.h"
#include "entities/DirectionSign.h"
#include "entities/Level.h"
#include "entities/Obstacle.h"
#include "entities/Satellite.h"
#include "entities/Screen.h"
#include "render/Mesh.h"
#include "render/ShadowRenderer.h"
#include "render/Text2D.h"
#include "scene/App.h"
#include "scene/Camera.h"
#include "ship/Ship.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <cstdio>
#include <ctime>

GameState gameState = Intro;
glm::mat4 viewProjection{1.0f};
Level* currentLevel = nullptr;
Ship* currentShip = nullptr;
Camera* currentCamera = nullptr;

namespace {

constexpr float physicsFixedStep = 1.0f / 60.0f;
constexpr int winningScore = 1000;

} // namespace

Game::Game() : fpsWindowStart(inputClock().time()) {
    introScreen = std::make_unique<Screen>("Models\\Intro.bmp");
    loadingScreen = std::make_unique<Screen>("Models\\Loading.bmp");
    winScreen = std::make_unique<Screen>("Models\\Win.bmp");
    gameOverScreen = std::make_unique<Screen>("Models\\GameOver.bmp");
    gameState = Intro;
}

Game::~Game() = default;

void Game::run() {
    startUp();
    while (keepsRunning()) {
        frame();
    }
    shutDown();
}

bool Game::keepsRunning() const {
    return running && !glfwWindowShouldClose(window);
}

void Game::startUp() {
    if (!glfwInit()) {
        failStartup("Failed to init GLFW");
    }
    openWindow();
    loadGlEntryPoints();
    setFixedGlState();
    glfwSetWindowTitle(window, "Velmora");
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    introScreen->init();
    winScreen->init();
    gameOverScreen->init();
    loadingScreen->init();
    initSound();
    initText2D();
    shadowRenderer = std::make_unique<ShadowRenderer>();
}

void Game::openWindow() {
    DisplayConfig config;
    glfwWindowHint(GLFW_SAMPLES, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, config.refreshRate);
    glfwWindowHint(GLFW_VISIBLE, windowVisible ? GLFW_TRUE : GLFW_FALSE);
    width = config.width;
    height = config.height;
    GLFWmonitor* monitor = config.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window = glfwCreateWindow(width, height, "Quorvel", monitor, nullptr);
    if (!window) {
        glfwTerminate();
        failStartup("Failed to open window");
    }
}

void Game::loadGlEntryPoints() {
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        failStartup("Failed to initialize GLEW");
    }
    // glewInit on a core context leaves a harmless GL_INVALID_ENUM behind.
    glGetError();

    // Take these from the context itself rather than what the loader found.
    auto install = [](auto& entryPoint, const char* name) {
        if (GLFWglproc found = glfwGetProcAddress(name)) {
            entryPoint = reinterpret_cast<std::remove_reference_t<decltype(entryPoint)>>(found);
        }
    };
    install(__glewGetUniformBlockIndex, "glGetUniformBlockIndex");
    install(__glewUniformBlockBinding, "glUniformBlockBinding");
    install(__glewGenVertexArrays, "glGenVertexArrays");
    install(__glewBindVertexArray, "glBindVertexArray");
    install(__glewBindBufferRange, "glBindBufferRange");
    install(__glewDeleteVertexArrays, "glDeleteVertexArrays");
    install(__glewGenerateMipmap, "glGenerateMipmap");
}

void Game::setFixedGlState() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
}

bool Game::keyPressed(int key) const {
    return inputClock().key(window, key) == GLFW_PRESS;
}

void Game::frame() {
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    float now = static_cast<float>(inputClock().time());
    deltaTime = now - lastFrameTime;
    glfwPollEvents();

    switch (gameState) {
    case Intro:
        if (keyPressed(GLFW_KEY_SPACE)) {
            // Show the loading picture at once; the world is built in the next frame.
            loadingScreen->draw(view, projection);
            glfwSwapBuffers(window);
            gameState = Loading;
            return;
        }
        introScreen->draw(view, projection);
        break;
    case Loading:
        loadingScreen->draw(view, projection);
        setupWorld(level);
        break;
    case Playing:
        playFrame();
        break;
    case Won:
        winScreen->draw(view, projection);
        if (keyPressed(GLFW_KEY_ENTER)) {
            gameState = Intro;
        }
        break;
    case Lost:
        gameOverScreen->draw(view, projection);
        if (keyPressed(GLFW_KEY_ENTER)) {
            gameState = Intro;
        }
        break;
    }

    lastFrameTime = now;
    running = !keyPressed(GLFW_KEY_ESCAPE);
    glfwSwapBuffers(window);
}

void Game::playFrame() {
    // Before the pause zeroes the frame time, so that F1 takes effect in this frame.
    handleKeys();
    if (paused) {
        deltaTime = 0.0f;
    }
    viewProjection = projection * view;
    dynamicsWorld->stepSimulation(deltaTime, 0, physicsFixedStep);
    // Indexed on purpose: the ship's contacts may erase later objects during this walk.
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->update(static_cast<double>(deltaTime));
    }
    if (currentShip) {
        lightPosition = currentShip->position();
    }
    runShadowPass();
    if (depthMapView) {
        shadowRenderer->drawDepthMap();
    }
    glViewport(0, 0, width, height);
    runMainPass();
    drawHud();
    expireFlash();
    applyGameEndRules();
}

void Game::runShadowPass() {
    shadowRenderer->beginShadowPass();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->drawShadow();
    }
    shadowRenderer->endShadowPass();
}

void Game::startFlash(float now) {
    flash = true;
    flashStartTime = now;
}

void Game::expireFlash() {
    if (flash && static_cast<float>(inputClock().time()) - flashStartTime >= 1.0f) {
        flash = false;
    }
}

void Game::runMainPass() {
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->draw(view, projection);
    }
}

void Game::drawHud() {
    if (!paused) {
        updateScoreAndTime();
    }
    std::snprintf(hudTexts.lives.data(), HudTexts::size, "lifes:%i", lives);
    printText2D(hudTexts.lives.data(), 10);
    std::snprintf(hudTexts.time.data(), HudTexts::size, "time:%02i", timeLeft);
    if (showFps) {
        // The time moves left to make room for the frame rate.
        printText2D(hudTexts.time.data(), 230);
        drawFrameRate();
    } else {
        printText2D(hudTexts.time.data(), 340);
    }
    std::snprintf(hudTexts.score.data(), HudTexts::size, "score:%03d", score);
    printText2D(hudTexts.score.data(), 630);
    polygonCount = 0;
    objectCount = 0;
}

void Game::drawFrameRate() {
    measureFrameRate();
    std::snprintf(hudTexts.frameRate.data(), HudTexts::size, "FPS:%.0f", fps);
    printText2D(hudTexts.frameRate.data(), 430);
    std::printf("FPS:%.0f Frametime:%f Objectcount:%i Polycount:%i\n", fps,
                static_cast<double>(deltaTime), objectCount, polygonCount);
}

// The rate is refreshed about once a second, over the frames counted since the last refresh.
void Game::measureFrameRate() {
    ++fpsFrames;
    const double now = inputClock().time();
    if (now - fpsWindowStart >= 1.0) {
        fps = fpsFrames / (now - fpsWindowStart);
        fpsFrames = 0;
        fpsWindowStart = now;
    }
}

void Game::updateScoreAndTime() {
    score = static_cast<std::int32_t>(inputClock().time() - startSecond + 75.0 * hacks);
    timeLeft =
        static_cast<std::int32_t>(timeLimit - inputClock().time() + startSecond + 3.0 * hacks);
}

void Game::applyGameEndRules() {
    if (timeLeft <= 0) {
        finishGame(Lost, "doomed");
    }
    if (score >= winningScore) {
        finishGame(Won, "win");
    }
    if (lives <= 0) {
        finishGame(Lost, "doomed");
    }
    if (crashed) {
        finishGame(Lost, "doomed");
    }
}

void Game::finishGame(GameState outcome, const char* sound) {
    endGame();
    playSound(sound);
    gameState = outcome;
}

void Game::setupWorld(int levelNumber) {
    (void)levelNumber;
    createDynamicsWorld();
    auto level = std::make_unique<Level>(this);
    currentLevel = level.get();
    addObject(std::move(level));
    lightPosition = glm::vec3(0.0f);
    auto ship = std::make_unique<Ship>(this, lightPosition);
    currentShip = ship.get();
    addObject(std::move(ship));
    auto camera = std::make_unique<Camera>(this);
    currentCamera = camera.get();
    addObject(std::move(camera));
    populateLevel();
    for (App* object : objects) {
        object->init();
    }
    while (!std::all_of(objects.begin(), objects.end(),
                        [](const App* object) { return object->initialised; })) {
    }
    startSecond = static_cast<std::int32_t>(inputClock().time());
    lives = 3;
    timeLimit = 15;
    hacks = 0;
    // A game paused in its first frame skips that frame's update, so it must not start at 0 s.
    updateScoreAndTime();
    startMusic();
    gameState = Playing;
    crashed = false;
}

void Game::populateLevel() {
    populateSigns();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    populateObstacles();
    populateSatellites();
}

void Game::populateSigns() {
    signList.clear();
    for (const SignPlacement& placement : levelOneSigns) {
        auto sign = std::make_unique<DirectionSign>(this, placement.position,
                                                    placement.rotationCode, placement.direction);
        signList.push_back(sign.get());
        addObject(std::move(sign));
    }
}

namespace {

// Creates one entity per placement, then loads and prepares the kind's mesh once, into the
// prototype, from which every instance copies it before joining the game.
template <typename Kind, typename Placements, typename Make>
void populateSharingMesh(Game& game, std::vector<Kind*>& list, Kind& prototype,
                         const char* meshPath, const Placements& placements, Make make) {
    list.clear();
    std::vector<std::unique_ptr<Kind>> created;
    for (const auto& placement : placements) {
        created.push_back(make(placement));
        list.push_back(created.back().get());
    }
    loadObj(prototype, meshPath);
    flattenTriangles(prototype);
    uploadMesh(prototype);
    for (auto& entity : created) {
        entity->copyMeshFrom(prototype);
        game.addObject(std::move(entity));
    }
}

} // namespace

void Game::populateObstacles() {
    Obstacle prototype(this, glm::vec3(0.0f), true, true);
    populateSharingMesh(*this, obstacleList, prototype, "Models\\plane.obj", levelOneObstacles,
                        [this](const ObstaclePlacement& placement) {
                            return std::make_unique<Obstacle>(
                                this, placement.position, placement.skipTurnZ, placement.skipTurnY);
                        });
}

void Game::populateSatellites() {
    Satellite prototype(this, glm::vec3(0.0f));
    populateSharingMesh(
        *this, satelliteList, prototype, "Models\\satellite.obj", levelOneSatellites,
        [this](const glm::vec3& position) { return std::make_unique<Satellite>(this, position); });
}

void Game::createDynamicsWorld() {
    // The previous game's entities are gone by now, so its world can go too.
    releaseDynamicsWorld();
    broadphase = std::make_unique<btDbvtBroadphase>();
    collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>();
    dispatcher = std::make_unique<btCollisionDispatcher>(collisionConfiguration.get());
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    dynamicsWorld = std::make_unique<btDiscreteDynamicsWorld>(
        dispatcher.get(), broadphase.get(), solver.get(), collisionConfiguration.get());
    dynamicsWorld->setGravity(btVector3(0.0f, -9.80665f, 0.0f));
}

void Game::releaseDynamicsWorld() {
    dynamicsWorld.reset();
    solver.reset();
    dispatcher.reset();
    collisionConfiguration.reset();
    broadphase.reset();
}

void Game::endGame() {
    pauseMusic();
    destroyWorldObjects();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    wireframe = false;
}

void Game::destroyWorldObjects() {
    // Entities erase themselves from the list inside removeFromWorld, so walk a snapshot.
    const std::vector<App*> snapshot = objects;
    for (App* object : snapshot) {
        object->removeFromWorld();
    }
    objects.clear();
    objects.shrink_to_fit();
    ownedObjects.clear();
    currentLevel = nullptr;
    currentShip = nullptr;
    currentCamera = nullptr;
}

void Game::addObject(std::unique_ptr<App> object) {
    objects.push_back(object.get());
    ownedObjects.push_back(std::move(object));
}

void Game::eraseObject(App* object) {
    std::erase(objects, object);
}

void Game::shutDown() {
    const std::vector<App*> snapshot = objects;
    for (App* object : snapshot) {
        object->removeFromWorld();
    }
    releaseSounds();
    // Entities free their GL objects, so they go while the context still exists.
    objects.clear();
    ownedObjects.clear();
    currentLevel = nullptr;
    currentShip = nullptr;
    currentCamera = nullptr;
    shadowRenderer.reset();
    releaseDynamicsWorld();
    glfwTerminate();
    window = nullptr;
}
