#pragma once

#include <optional>

#include "maths/matrix.hpp"

namespace tessarim {

// Row-vector convention throughout: a point p becomes p * M, and A * B applies A first.

struct Vec3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline float dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float length(Vec3 a);
// a / |a|; the zero vector stays zero.
Vec3 normalise(Vec3 a);

Matrix multiply(const Matrix& a, const Matrix& b);
// (p, 1) * M divided by its w.
Vec3 transformCoord(Vec3 p, const Matrix& m);
// (v, 0) * M: directions and normals.
Vec3 transformNormal(Vec3 v, const Matrix& m);

// [1 0 0; 0 c s; 0 -s c]
Matrix rotationX(float angle);
// [c 0 -s; 0 1 0; s 0 c]
Matrix rotationY(float angle);
// [c s 0; -s c 0; 0 0 1]
Matrix rotationZ(float angle);
// rotationZ(roll) * rotationX(pitch) * rotationY(yaw): roll first, then pitch, then yaw.
Matrix rotationYawPitchRoll(float yaw, float pitch, float roll);
// Rotation by angle about the normalised axis: c I + (1 - c) a aᵀ + s [a]x, laid out row-vector.
Matrix rotationAxis(Vec3 axis, float angle);
Matrix scaling(float x, float y, float z);
Matrix translation(float x, float y, float z);
// Nothing when M is singular.
std::optional<Matrix> inverse(const Matrix& m);

// Right-handed view: z axis = normalise(eye - at), x = normalise(up × z), y = z × x; the last row
// moves the eye to the origin.
Matrix lookAtRH(Vec3 eye, Vec3 at, Vec3 up);
// Right-handed perspective: y scale = cot(fovY / 2), x scale = y scale / aspect,
// [.. .. zf/(zn-zf) -1; .. .. zn zf/(zn-zf) 0].
Matrix perspectiveFovRH(float fovY, float aspect, float zNear, float zFar);

struct Viewport {
  float x = 0, y = 0, width = 0, height = 0, minZ = 0, maxZ = 1;
};

// To the screen: through world * view * projection, then x = X + (1 + x) W / 2,
// y = Y + (1 - y) H / 2, z = minZ + z (maxZ - minZ).
Vec3 project(Vec3 p, const Viewport& viewport, const Matrix& projection, const Matrix& view,
             const Matrix& world);
// The inverse of project.
Vec3 unproject(Vec3 screen, const Viewport& viewport, const Matrix& projection, const Matrix& view,
               const Matrix& world);

struct RayHit {
  float u = 0, v = 0;  // the hit point is p0 + u (p1 - p0) + v (p2 - p0)
  float distance = 0;  // origin + distance * direction
};

// Ray against a triangle seen from either side; nothing when the ray misses it or meets it
// behind its origin.
std::optional<RayHit> intersectRayTriangle(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 origin, Vec3 direction);

}  // namespace tessarim
