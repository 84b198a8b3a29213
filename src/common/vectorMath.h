// Operations on vec3; everything by value except the in-place normalize.
#pragma once

// A point or a direction in the world: +z is up, the lane runs along +y.
typedef struct vec3 {
    float x, y, z;
} vec3;

float vec_dot(vec3 u, vec3 v);
vec3 vec_cross(vec3 u, vec3 v);
float vec_mag(vec3 u);
float vec_mag_squared(vec3 u);
void vec_normalize(vec3 *u);
vec3 vec_between_points(vec3 u, vec3 v);
vec3 vec_scalar_multiple(vec3 u, float s);
vec3 vec_add(vec3 u, vec3 v);
vec3 vec_subtract(vec3 u, vec3 v);
