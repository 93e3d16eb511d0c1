#pragma once

#include "app/GameState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <memory>
#include <vector>

class App;
class DirectionSign;
class Obstacle;
class Satellite;
class Screen;
class ShadowRenderer;
class btBroadphaseInterface;
class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
struct GLFWwindow;

// The HUD's texts, each in its own buffer, which no formatted value can fill.
struct HudTexts {
    static constexpr std::size_t size = 64;
    std::array<char, size> lives{};
    std::array<char, size> time{};
    std::array<char, size> frameRate{};
    std::array<char, size> score{};
};

// The one game: window, state machine, frame loop and everything that outlives a frame.
class Game {
public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, frame loop and shutdown. Ends the process on a fatal start-up error.
    void run();

    // The three stages of run, separate so tests can drive single frames.
    void startUp();
    void frame();
    void shutDown();
    bool keepsRunning() const;

    void setupWorld(int levelNumber);
    void createDynamicsWorld();
    void populateLevel();
    void endGame();
    // The ten toggle keys; each acts once per press, however long it is held.
    void handleKeys();
    void drawHud();

    // The game owns what it adds; entities erase themselves from `objects` when they
    // leave the world, and are destroyed when the game ends.
    void addObject(std::unique_ptr<App> object);
    void eraseObject(App* object);

    // The hit flash runs for a second from `now`.
    void startFlash(float now);

    // Tests run the game in a hidden window.
    static inline bool windowVisible = true;

    glm::vec3 lightPosition{0.0f};
    std::int32_t polygonCount = 0;
    std::int32_t objectCount = 0;
    bool frustumCulling = true;
    bool transparency = true;
    GLFWwindow* window = nullptr;
    std::int32_t height = 0;
    std::int32_t width = 0;
    bool running = true;
    bool paused = false;
    float deltaTime = 0.0f;
    float lastFrameTime = 0.0f;
    std::array<bool, 10> keyLatch{};
    bool wireframe = false;
    bool showFps = false;
    bool bilinear = true;
    std::int32_t mipmapMode = 0;
    std::int32_t fpsFrames = 0;
    double fps = 0.0;
    double fpsWindowStart = 0.0;
    std::int32_t level = 1;
    std::int32_t score = 0;
    std::int32_t startSecond = 0;
    std::int32_t timeLimit = 30;
    std::int32_t timeLeft = 0;
    std::int32_t pauseSecond = 0;
    std::int32_t lives = 3;
    std::int32_t hacks = 0;
    bool flash = false;
    bool depthMapView = false;
    bool crashed = false;
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    std::vector<App*> objects;
    std::unique_ptr<Screen> gameOverScreen;
    std::unique_ptr<Screen> introScreen;
    std::unique_ptr<Screen> winScreen;
    std::unique_ptr<Screen> loadingScreen;
    std::unique_ptr<ShadowRenderer> shadowRenderer;
    // Clock reading when the current flash started; a second in the past before any hit.
    float flashStartTime = -1.0f;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamicsWorld;

    // Per-kind lists filled by the level population; they do not own their entries.
    std::vector<DirectionSign*> signList;
    std::vector<Obstacle*> obstacleList;
    std::vector<Satellite*> satelliteList;

    // What the last HUD pass drew.
    HudTexts hudTexts;

private:
    void openWindow();
    void loadGlEntryPoints();
    void setFixedGlState();
    void playFrame();
    void runShadowPass();
    void runMainPass();
    void expireFlash();
    void populateSigns();
    void populateObstacles();
    void populateSatellites();
    void applyGameEndRules();
    void finishGame(GameState outcome, const char* sound);
    void updateScoreAndTime();
    void drawFrameRate();
    void measureFrameRate();
    void destroyWorldObjects();
    void releaseDynamicsWorld();
    bool keyPressed(int key) const;

    // Declared after the collision world so that entities leave it before it is destroyed.
    std::vector<std::unique_ptr<App>> ownedObjects;
};

extern GameState gameState;
extern glm::mat4 viewProjection;
