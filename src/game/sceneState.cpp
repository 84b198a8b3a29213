// Definitions of the scene module's state, with the values a run starts from.
#include "game/sceneInternal.h"

// The level in play; the names below are the scene's own for its parts.
levelPlay level = newLevelPlay();
dynamicObject &ball = level.ball;
dynamicObject *&pins = level.pins;
int &numPins = level.numPins;
int &remainingPins = level.remainingPins;
collisionFace *&firstCollisionFace = level.firstCollisionFace;
faceIndex *&collisionIndex = level.collisionIndex;
float &worldLowerBound = level.worldLowerBound;
vec3 &cameraLocation = level.cameraLocation;
vec3 &cameraInitLoc = level.cameraInitLoc;
vec3 &cameraVelocity = level.cameraVelocity;
float &cameraSpeed = level.cameraSpeed;
e_gameState &gameState = level.gameState;
float &mouseMotionTime = level.mouseMotionTime;
float &throwTimeRemaining = level.throwTimeRemaining;
int &totalXChange = level.totalXChange;
int &totalYChange = level.totalYChange;
float &ysensitivity = level.ysensitivity;
float &xsensitivity = level.xsensitivity;

int pinRecords = 0;
float bgRed = 0.5f, bgGreen = 0.5f, bgBlue = 0.5f;
float txtRed = 0.5f, txtGreen = 0.5f, txtBlue = 0.5f;
GLint worldDispList = 0;

float deltaTime = 0.0f;
int gameMilliseconds = 0;
int isPaused = 1;
int limitFrames = 0;
Uint16 mousex = 0;
Uint16 mousey = 0;
int showGLPointer = 0;
