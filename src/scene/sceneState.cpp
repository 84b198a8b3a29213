// Definitions of the scene module's state, with the values a run starts from.
#include "sceneInternal.h"

int numPins = 0;
dynamicObject *pins = nullptr;
int pinRecords = 0;
dynamicObject ball = {};
int remainingPins = 0;
collisionFace *firstCollisionFace = nullptr;
faceIndex *collisionIndex = nullptr;
float bgRed = 0.5f, bgGreen = 0.5f, bgBlue = 0.5f;
float txtRed = 0.5f, txtGreen = 0.5f, txtBlue = 0.5f;
GLint worldDispList = 0;
float worldLowerBound = -100.0f;
vec3 cameraLocation = {0.0f, 0.0f, 0.0f};
vec3 cameraInitLoc = {0.0f, 0.0f, 0.0f};
vec3 cameraVelocity = {0.0f, 0.0f, 0.0f};
float cameraSpeed = 20.0f;

float deltaTime = 0.0f;
float gameDeltaTime = 0.0f;
int isPaused = 1;
float pausedTimer = 0.0f;
int limitFrames = 0;
float mouseMotionTime = 0.0f;
float throwTimeRemaining = 0.0f;
int totalXChange = 0;
int totalYChange = 0;
Uint16 mousex = 0;
Uint16 mousey = 0;
float ysensitivity = MOUSE_SENSITIVITY;
float xsensitivity = MOUSE_SENSITIVITY;
e_gameState gameState = introduction;
int showGLPointer = 0;
