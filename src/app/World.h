#pragma once

class Camera;
class Level;
class Ship;

// The running game's level, ship and camera; set by world setup, not owned.
extern Level* currentLevel;
extern Ship* currentShip;
extern Camera* currentCamera;
