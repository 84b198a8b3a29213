#include "common/vectorMath.h"

#include <cmath>

float vec_dot(vec3 u, vec3 v) { return u.x * v.x + u.y * v.y + u.z * v.z; }

vec3 vec_cross(vec3 u, vec3 v)
{
    return vec3{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// Squares are taken in double so that tiny vectors (1e-30) keep a nonzero length.
float vec_mag(vec3 u)
{
    double x = u.x, y = u.y, z = u.z;
    return (float)std::sqrt(x * x + y * y + z * z);
}

float vec_mag_squared(vec3 u) { return u.x * u.x + u.y * u.y + u.z * u.z; }

// A zero vector has no direction; +z (up) is the most useful one to give it.
void vec_normalize(vec3 *u)
{
    float n = vec_mag(*u);
    if (n != 0.0f) {
        u->x = u->x / n;
        u->y = u->y / n;
        u->z = u->z / n;
    } else {
        *u = vec3{0.0f, 0.0f, 1.0f};
    }
}

vec3 vec_between_points(vec3 u, vec3 v) { return vec3{v.x - u.x, v.y - u.y, v.z - u.z}; }

vec3 vec_scalar_multiple(vec3 u, float s) { return vec3{u.x * s, u.y * s, u.z * s}; }

vec3 vec_add(vec3 u, vec3 v) { return vec3{u.x + v.x, u.y + v.y, u.z + v.z}; }

vec3 vec_subtract(vec3 u, vec3 v) { return vec3{u.x - v.x, u.y - v.y, u.z - v.z}; }
