// Plays the scripts of controls.txt through the game's controls and clock and
// prints what they decide and what the level's state becomes, for the test to
// compare with expected.txt. Each line of a script is one command:
//   event press|release BUTTON / move X Y DX DY / quit / key KEY  STATE PAUSED THROWTIME
//       what one event asks for in that state (buttons left right middle wheeldown)
//   keys KEY... MOD PAUSED   what the keys ask for, held and just pressed (MOD none lctrl rctrl)
//   drag DX DY SECONDS / clock LAST NOW   the push of a drag, the milliseconds of a frame
//   level STATE   a level starts: the ball at (3, -6, 0.5) on a floor, 5 pins, no throw running
//   start STATE   a level starts, with the state as the last one left it
//   set state|paused|pins|throwTime|ball|velocity ...   the state the next steps find
//   press/release BUTTON, move X Y DX DY, quit, key KEY   events of the drain
//   hold KEY... [MOD] (none for no key), frames MS [COUNT]   frames: keys, clock and the level's steps
//   stall MS   the next frame starts MS late (end it with frames 0)
//   pauses MS COUNT   frames, and whether each left the game paused
//   show   the level's state
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "game/sceneControl.h"
#include "game/sceneState.h"

namespace
{

const std::map<std::string, int> BUTTONS = {{"left", SDL_BUTTON_LEFT},
                                            {"right", SDL_BUTTON_RIGHT},
                                            {"middle", SDL_BUTTON_MIDDLE},
                                            {"wheeldown", SDL_BUTTON_WHEELDOWN}};
const std::map<std::string, int> KEYS = {{"escape", SDLK_ESCAPE}, {"q", SDLK_q},           {"p", SDLK_p},
                                         {"pause", SDLK_PAUSE},   {"return", SDLK_RETURN}, {"f4", SDLK_F4},
                                         {"f5", SDLK_F5},         {"f12", SDLK_F12}};
const std::map<std::string, int> MODS = {{"none", KMOD_NONE}, {"lctrl", KMOD_LCTRL}, {"rctrl", KMOD_RCTRL}};
const char *const STATES[] = {"introduction", "awaitingThrow", "throwing", "watchingThrow", "over"};
const char *const ACTIONS[] = {"ignore",        "startThrow",   "movePointer", "releaseThrow",
                               "leaveGameOver", "abandonThrow", "keyPressed",  "closeWindow"};
const char *const RETURNS[] = {"quit", "levelCompleted", "restart"};
// The level: a floor, z = 0 as far as a throw goes, the ball, and five pins
// resting far off to the side.
collisionFace FLOOR = {{{-1000, -1000, 0}, {1000, -1000, 0}, {0, 1000, 0}}, {0, 0, 1}, 0, nullptr};
const dynamicObject BALL = {{3, -6, 0.5f}, {3, -6, 0.5f}, {}, 0.5f, 1, 0, 1};
const dynamicObject PINS[] = {{{-100, 0, 0.5f}, {-100, 0, 0.5f}, {}, 0.5f, 1, 0, 1},
                              {{-102, 0, 0.5f}, {-102, 0, 0.5f}, {}, 0.5f, 1, 0, 1},
                              {{-104, 0, 0.5f}, {-104, 0, 0.5f}, {}, 0.5f, 1, 0, 1},
                              {{-106, 0, 0.5f}, {-106, 0, 0.5f}, {}, 0.5f, 1, 0, 1},
                              {{-108, 0, 0.5f}, {-108, 0, 0.5f}, {}, 0.5f, 1, 0, 1}};
const vec3 CAMERA = {0, -10, 0.5f};

e_gameState stateNamed(const std::string &name)
{
    int k = 0;
    while (k < 4 && name != STATES[k])
        k++;
    return (e_gameState)k;
}

// An event from the rest of a line: press/release BUTTON, move X Y DX DY, quit, key KEY (going down).
SDL_Event event(const std::string &kind, std::istringstream &in)
{
    SDL_Event e = {};
    std::string name;
    int x, y, dx, dy;
    if (kind == "press" || kind == "release") {
        in >> name;
        e.type = kind == "press" ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button = SDL_MouseButtonEvent{e.type, 0, (Uint8)BUTTONS.at(name), 0, 0, 0};
    } else if (kind == "move") {
        in >> x >> y >> dx >> dy;
        e.motion = SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, 0, (Uint16)x, (Uint16)y, (Sint16)dx, (Sint16)dy};
    } else if (kind == "key") {
        in >> name;
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = (SDLKey)KEYS.at(name);
    } else {
        e.type = SDL_QUIT;
    }
    return e;
}

} // namespace

int main(int argc, char **argv)
{
    FILE *f = fopen(argc > 1 ? argv[1] : "controls.txt", "r");
    if (!f) return 1;
    levelRun run = {0, quit};
    Uint8 held[SDLK_LAST] = {};
    SDLMod heldMod = KMOD_NONE;
    Uint32 lastTime = 0, now = 0;
    for (char line[256]; fgets(line, sizeof line, f);) {
        std::istringstream in(line);
        std::string what, word;
        in >> what;
        if (what.empty() || what[0] == '#') {
            if (what == "#") printf("%s", line);
        } else if (what == "event") {
            in >> word;
            SDL_Event e = event(word, in);
            int paused;
            float throwTime;
            in >> word >> paused >> throwTime;
            printf("%s-> %s\n", line, ACTIONS[eventAction(&e, stateNamed(word), paused, throwTime)]);
        } else if (what == "keys") {
            Uint8 keys[SDLK_LAST] = {};
            while (in >> word && KEYS.count(word))
                keys[KEYS.at(word)] = 1;
            SDLMod mod = (SDLMod)MODS.at(word);
            unsigned pressed = 0;
            for (int k = 0; k < SDLK_LAST; k++)
                if (keys[k]) pressed |= pressKeyOf((SDLKey)k, mod);
            int paused;
            in >> paused;
            keyActions a = keysAction(keys, mod, paused, pressed);
            printf("%s->%s%s%s%s%s%s\n", line, a.quit ? " quit" : "", a.pause ? " pause" : "",
                   a.resume ? " resume" : "", a.skip ? " skip" : "", a.restart ? " restart" : "",
                   a.fullScreen ? " fullScreen" : "");
        } else if (what == "drag") {
            int dx, dy;
            float seconds;
            vec3 push = {};
            in >> dx >> dy >> seconds;
            bool pushed = dragPush(dx, dy, seconds, MOUSE_SENSITIVITY, MOUSE_SENSITIVITY, &push);
            printf("%s-> %s %g %g %g\n", line, pushed ? "push" : "no push", push.x, push.y, push.z);
        } else if (what == "clock") {
            Uint32 last, at;
            in >> last >> at;
            printf("%s-> %d ms\n", line, frameMilliseconds(at, last));
        } else if (what == "level" || what == "start") {
            in >> word;
            if (what == "level") {
                startLevelPlay(&level, BALL, PINS, 5, &FLOOR, nullptr, -10, CAMERA, stateNamed(word));
                level.throwTimeRemaining = -1, run = {0, quit};
            }
            level.gameState = stateNamed(word);
            startLevel();
        } else if (what == "set") {
            in >> word;
            dynamicObject &ball = level.ball;
            if (word == "state") in >> word, level.gameState = stateNamed(word);
            if (word == "paused") in >> sceneClock.isPaused;
            if (word == "pins") in >> level.remainingPins;
            if (word == "throwTime") in >> level.throwTimeRemaining;
            if (word == "ball") in >> ball.location.x >> ball.location.y >> ball.location.z;
            if (word == "velocity") in >> ball.velocity.x >> ball.velocity.y >> ball.velocity.z;
        } else if (what == "hold") {
            std::fill(held, held + SDLK_LAST, 0);
            heldMod = KMOD_NONE;
            while (in >> word)
                if (MODS.count(word))
                    heldMod = (SDLMod)MODS.at(word);
                else
                    held[KEYS.at(word)] = 1;
        } else if (what == "frames" || what == "pauses") {
            int ms, count = 1;
            in >> ms >> count;
            if (what == "pauses") printf("%s->", line);
            for (int k = 0; k < count; k++) {
                int fullScreen = handleKeys(held, heldMod, &run);
                measureFrame(now += ms, &lastTime);
                advanceFrame(&run);
                countStall(now, lastTime); // the next frame follows at once
                if (fullScreen) printf("   full screen switched\n");
                if (what == "pauses") printf(" %d", sceneClock.isPaused);
            }
            if (what == "pauses") printf("\n");
        } else if (what == "stall") {
            int ms;
            in >> ms;
            countStall(now += ms, lastTime);
        } else if (what == "show") {
            const levelPlay &p = level;
            const dynamicObject &ball = p.ball;
            const vec3 &cameraVelocity = p.cameraVelocity;
            printf("   %s%s, throw %g s, moved %d %d in %g s, pointer %d %d, %s\n", STATES[p.gameState],
                   sceneClock.isPaused ? " paused" : "", p.throwTimeRemaining, p.totalXChange, p.totalYChange,
                   p.mouseMotionTime, pointer.mousex, pointer.mousey,
                   run.done ? RETURNS[run.exitMode] : "going on");
            printf("   ball at %g %g %g moving %g %g %g%s, camera toward %g %g %g\n", ball.location.x,
                   ball.location.y, ball.location.z, ball.velocity.x, ball.velocity.y, ball.velocity.z,
                   ball.inPlay ? "" : " out", cameraVelocity.x, cameraVelocity.y, cameraVelocity.z);
        } else {
            SDL_Event e = event(what, in);
            handleEvent(&e, &run);
        }
    }
    fclose(f);
    return 0;
}
