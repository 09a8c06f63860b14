#include "maths/maths.hpp"

#include <cmath>

namespace tessarim {

float length(Vec3 a) {
  return std::sqrt(dot(a, a));
}

Vec3 normalise(Vec3 a) {
  float l = length(a);
  return l > 0 ? a * (1.0f / l) : Vec3{};
}

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
    }
  }
  return r;
}

Vec3 transformCoord(Vec3 p, const Matrix& m) {
  float x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
  float y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
  float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
  float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
  if (w != 0 && w != 1) return {x / w, y / w, z / w};
  return {x, y, z};
}

Vec3 transformNormal(Vec3 v, const Matrix& m) {
  return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
          v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
          v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

Matrix rotationX(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  return Matrix{{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}};
}

Matrix rotationY(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  return Matrix{{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}};
}

Matrix rotationZ(float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  return Matrix{{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

Matrix rotationYawPitchRoll(float yaw, float pitch, float roll) {
  // rotationZ(roll) * rotationX(pitch) * rotationY(yaw), multiplied out.
  const float cy = std::cos(yaw), sy = std::sin(yaw);
  const float cp = std::cos(pitch), sp = std::sin(pitch);
  const float cr = std::cos(roll), sr = std::sin(roll);
  return Matrix{{{cr * cy + sr * sp * sy, sr * cp, -cr * sy + sr * sp * cy, 0},
                 {-sr * cy + cr * sp * sy, cr * cp, sr * sy + cr * sp * cy, 0},
                 {cp * sy, -sp, cp * cy, 0},
                 {0, 0, 0, 1}}};
}

Matrix rotationAxis(Vec3 axis, float angle) {
  Vec3 a = normalise(axis);
  float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return Matrix{{{t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y, 0},
                 {t * a.x * a.y - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x, 0},
                 {t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x, t * a.z * a.z + c, 0},
                 {0, 0, 0, 1}}};
}

Matrix scaling(float x, float y, float z) {
  return Matrix{{{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}}};
}

Matrix translation(float x, float y, float z) {
  return Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}}};
}

std::optional<Matrix> inverse(const Matrix& m) {
  // Cofactor expansion in double, so that the inverse is as exact as floats allow.
  double a[16], inv[16];
  for (int i = 0; i < 16; ++i) a[i] = m[i / 4][i % 4];
  inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
           a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
  inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
           a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
  inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
           a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
  inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
            a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
  inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
           a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
  inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
           a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
  inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
           a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
  inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
            a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
  inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
           a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
  inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
           a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
  inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
            a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
  inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
            a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
  inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
           a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
  inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
           a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
  inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
            a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
  inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
            a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
  double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
  if (det == 0 || !std::isfinite(det)) return std::nullopt;
  Matrix r{};
  for (int i = 0; i < 16; ++i) r[i / 4][i % 4] = static_cast<float>(inv[i] / det);
  return r;
}

Matrix lookAtRH(Vec3 eye, Vec3 at, Vec3 up) {
  Vec3 z = normalise(eye - at);
  Vec3 x = normalise(cross(up, z));
  Vec3 y = cross(z, x);
  return Matrix{{{x.x, y.x, z.x, 0},
                 {x.y, y.y, z.y, 0},
                 {x.z, y.z, z.z, 0},
                 {-dot(x, eye), -dot(y, eye), -dot(z, eye), 1}}};
}

Matrix perspectiveFovRH(float fovY, float aspect, float zNear, float zFar) {
  float yScale = 1.0f / std::tan(fovY / 2);
  float xScale = yScale / aspect;
  float depth = zNear - zFar;
  return Matrix{{{xScale, 0, 0, 0},
                 {0, yScale, 0, 0},
                 {0, 0, zFar / depth, -1},
                 {0, 0, zNear * zFar / depth, 0}}};
}

Vec3 project(Vec3 p, const Viewport& vp, const Matrix& projection, const Matrix& view,
             const Matrix& world) {
  Vec3 c = transformCoord(p, multiply(multiply(world, view), projection));
  return {vp.x + (1 + c.x) * vp.width / 2, vp.y + (1 - c.y) * vp.height / 2,
          vp.minZ + c.z * (vp.maxZ - vp.minZ)};
}

Vec3 unproject(Vec3 s, const Viewport& vp, const Matrix& projection, const Matrix& view,
               const Matrix& world) {
  auto inv = inverse(multiply(multiply(world, view), projection));
  if (!inv) return {};
  Vec3 c{2 * (s.x - vp.x) / vp.width - 1, 1 - 2 * (s.y - vp.y) / vp.height,
         vp.maxZ != vp.minZ ? (s.z - vp.minZ) / (vp.maxZ - vp.minZ) : 0};
  return transformCoord(c, *inv);
}

std::optional<RayHit> intersectRayTriangle(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 origin, Vec3 direction) {
  // Möller and Trumbore, without culling either side.
  Vec3 e1 = p1 - p0, e2 = p2 - p0;
  Vec3 p = cross(direction, e2);
  float det = dot(e1, p);
  if (det == 0 || !std::isfinite(det)) return std::nullopt;
  Vec3 t = origin - p0;
  float u = dot(t, p) / det;
  if (!(u >= 0 && u <= 1)) return std::nullopt;
  Vec3 q = cross(t, e1);
  float v = dot(direction, q) / det;
  if (!(v >= 0 && u + v <= 1)) return std::nullopt;
  float distance = dot(e2, q) / det;
  if (!(distance >= 0)) return std::nullopt;
  return RayHit{u, v, distance};
}

}  // namespace tessarim
