// State shared by the files of the scene module; nothing outside src/game/
// and the tests includes this header.
#pragma once

#include <GL/gl.h>
#include <SDL.h>

#include "common/bodies.h"
#include "files/reader.h"
#include "game/scene.h"
#include "sim/levelPlay.h"

// The level in play, and the scene's names for its parts: the world and the
// camera, filled by the scene file, and the throw.
extern levelPlay level;
extern int &numPins;
extern dynamicObject *&pins;
extern int pinRecords; // records allocated in pins, which may be fewer than numPins after a failed load
extern dynamicObject &ball;
extern int &remainingPins;
extern collisionFace *&firstCollisionFace;
extern faceIndex *&collisionIndex; // the physics' broad phase over it, or null
extern float &worldLowerBound;
extern vec3 &cameraLocation;
extern vec3 &cameraInitLoc;
extern vec3 &cameraVelocity;
extern float &cameraSpeed;
extern float &mouseMotionTime;
extern float &throwTimeRemaining;
extern int &totalXChange;
extern int &totalYChange;
extern float &ysensitivity;
extern float &xsensitivity;

// Level state filled by the scene file for drawing.
extern float bgRed, bgGreen, bgBlue;
extern float txtRed, txtGreen, txtBlue;
extern GLint worldDispList;

// Frame clock, pause and the pointer.
extern float deltaTime;      // real seconds of the last frame; 0 for one longer than LONGEST_FRAME
extern int gameMilliseconds; // the game time of the last frame, what the level moves on by: 0 while paused
extern int isPaused;
extern int limitFrames;
extern Uint16 mousex;
extern Uint16 mousey;
extern int showGLPointer;

// Loading (sceneLoad.cpp): the file read, its meshes compiled into display lists.
condition sceneLoad(char *fName);
void sceneUnload(void);
// What sceneUnload releases, without its message: a level whose load failed
// ends the run quietly, but must not leave its collision mesh behind.
void releaseScene(void);

// Drawing (sceneDraw.cpp).
void drawScene(void);
