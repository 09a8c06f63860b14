// pick against a plain transcription of the picking rules, over random meshes, cameras and
// cursor points: the polygon loop is written for speed, and must still give the same answer to
// the last bit.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "model/geometry.hpp"

namespace tessarim {
namespace {

constexpr float pi = 3.14159265f;

struct Reference {
  PickResult result;
  int ties = 0;          // replacements at exactly the best distance so far
  int behindButHit = 0;  // quads skipped behind the eye whose second triangle the ray meets
};

// The rules one step at a time, built from the maths helpers alone.
Reference referencePick(const Module& module, const Matrix& world, float x, float y, bool texelMode,
                        int texelSet, const Viewport& viewport, const Matrix& view,
                        const Matrix& projection) {
  Reference ref;
  PickResult& r = ref.result;
  const Vec3 ray{(2 * x / viewport.width - 1) / projection[0][0],
                 (1 - 2 * y / viewport.height) / projection[1][1], -1};
  const Matrix m = texelMode ? view : multiply(world, view);
  const auto inv = inverse(m);
  if (!inv) return ref;
  const Vec3 o{(*inv)[3][0], (*inv)[3][1], (*inv)[3][2]};
  const Vec3 d = transformNormal(ray, *inv);
  const int set = texelSet == 1 ? 1 : 0;
  const Canvas canvas = canvasOf(module, set);

  const auto cornerOf = [&](const Polygon& p, int c) {
    if (texelMode) {
      const Texel& t = texelsOf(p, set)[c];
      return Vec3{t.u * 0.0048828125f * canvas.width, -t.v * 0.0048828125f * canvas.height, 0};
    }
    const Vertex& v = module.vertices[p.vertexIndex[c]];
    return Vec3{v.x, v.y, v.z};
  };
  const auto offer = [&](int polygon, std::optional<RayHit> hit, bool second, Vec3 p0, Vec3 p1,
                         Vec3 p2, Vec3 normal) {
    if (!hit || (r.hitCount > 0 && hit->distance > r.distance)) return;
    if (r.hitCount > 0 && hit->distance == r.distance) ++ref.ties;
    r.polygon = polygon;
    r.weight1 = second ? 1 - hit->v : hit->v;
    r.weight2 = second ? 1 - hit->u : hit->u;
    r.distance = hit->distance;
    r.hitPoint = p0 + (p1 - p0) * hit->u + (p2 - p0) * hit->v;
    r.normal = normal;
    r.secondTriangle = second;
    ++r.hitCount;
  };

  for (std::size_t i = 0; i < module.polygons.size(); ++i) {
    const Polygon& p = module.polygons[i];
    const int index = static_cast<int>(i);
    const Vec3 c0 = cornerOf(p, 0), c1 = cornerOf(p, 1), c2 = cornerOf(p, 2);
    if (!texelMode && dot(o - c0, cross(c1 - c0, c2 - c0)) > 0) continue;
    if (!texelMode && transformCoord(c0, m).z > 0 && transformCoord(c1, m).z > 0 &&
        transformCoord(c2, m).z > 0) {
      ref.behindButHit +=
          p.sides == 4 && intersectRayTriangle(cornerOf(p, 3), c0, c2, o, d).has_value();
      continue;
    }
    offer(index, intersectRayTriangle(c1, c2, c0, o, d), false, c1, c2, c0,
          cross(normalise(c2 - c0), normalise(c1 - c0)));
    if (p.sides != 4) continue;
    const Vec3 c3 = cornerOf(p, 3);
    if (texelMode) {
      offer(index, intersectRayTriangle(c0, c2, c3, o, d), true, c0, c2, c3,
            cross(normalise(c0 - c2), normalise(c3 - c2)));
    } else {
      offer(index, intersectRayTriangle(c3, c0, c2, o, d), true, c3, c0, c2,
            cross(normalise(c3 - c0), normalise(c2 - c0)));
    }
  }
  return ref;
}

std::uint32_t bits(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

void expectSame(const PickResult& got, const PickResult& want) {
  EXPECT_EQ(got.hitCount, want.hitCount);
  EXPECT_EQ(got.polygon, want.polygon);
  EXPECT_EQ(got.secondTriangle, want.secondTriangle);
  const float g[] = {got.weight1,    got.weight2,  got.distance, got.hitPoint.x, got.hitPoint.y,
                     got.hitPoint.z, got.normal.x, got.normal.y, got.normal.z};
  const float w[] = {want.weight1,    want.weight2,    want.distance,
                     want.hitPoint.x, want.hitPoint.y, want.hitPoint.z,
                     want.normal.x,   want.normal.y,   want.normal.z};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(bits(g[i]), bits(w[i])) << "field " << i;
}

// Random polygons in a 10-unit box: triangles and quads (not flat), some with a repeated corner,
// and repeats of earlier polygons, which tie with them. A triangle's unused fourth index names no
// vertex, so reading it would fault.
Module randomModule(std::mt19937& rng, int polygons) {
  std::uniform_real_distribution<float> coordinate(-5, 5), texel(-1, 2);
  std::uniform_int_distribution<int> percent(0, 99);
  Module m;
  m.canvasWidth = 1024;
  m.canvasHeight = 2048;
  m.canvasWidth2 = 4096;
  m.canvasHeight2 = 512;
  const int vertices = 4 + polygons;
  for (int i = 0; i < vertices; ++i)
    m.vertices.push_back({coordinate(rng), coordinate(rng), coordinate(rng)});
  std::uniform_int_distribution<std::uint32_t> vertex(0, static_cast<std::uint32_t>(vertices - 1));
  for (int i = 0; i < polygons; ++i) {
    const int kind = percent(rng);
    if (kind < 12 && !m.polygons.empty()) {
      std::uniform_int_distribution<std::size_t> earlier(0, m.polygons.size() - 1);
      m.polygons.push_back(m.polygons[earlier(rng)]);
      continue;
    }
    Polygon p;
    p.sides = kind < 55 ? 4 : 3;
    for (int c = 0; c < 4; ++c) {
      p.vertexIndex[c] = vertex(rng);
      p.texels[c] = {texel(rng), texel(rng)};
      p.texels2[c] = {texel(rng), texel(rng)};
    }
    if (p.sides == 3) p.vertexIndex[3] = 0xFFFFFFF0u;
    if (kind > 95) p.vertexIndex[2] = p.vertexIndex[1];
    m.polygons.push_back(p);
  }
  return m;
}

TEST(PickComparison, MatchesThePlainRulesBitForBit) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<float> unit(0, 1), angle(-pi, pi), scale(0.3f, 3);
  std::uniform_int_distribution<int> polygonCount(1, 70), percent(0, 99);
  const Viewport viewport{0, 0, 640, 480, 0, 1};
  const Matrix projection = perspectiveFovRH(pi / 3, 640.0f / 480.0f, 0.5f, 500);
  int hits = 0, quadHits = 0, ties = 0, multipleHits = 0, texelHits = 0, behind = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const Module m = randomModule(rng, polygonCount(rng));
    // A world placement with a turn, an uneven stretch and a shift.
    const Matrix world =
        multiply(multiply(scaling(scale(rng), scale(rng), scale(rng)),
                          rotationYawPitchRoll(angle(rng), angle(rng), angle(rng))),
                 translation(4 * unit(rng) - 2, 4 * unit(rng) - 2, 4 * unit(rng) - 2));
    // Mostly from outside; one camera in five inside the mesh, where polygons lie behind the eye.
    const float reach = percent(rng) < 20 ? 3 * unit(rng) : 15 + 20 * unit(rng);
    const Vec3 eye = Vec3{angle(rng), angle(rng), angle(rng)} * (reach / pi);
    const Matrix view = lookAtRH(eye, {unit(rng) - 0.5f, unit(rng) - 0.5f, 0}, {0, 1, 0});
    const bool texelMode = percent(rng) < 15;
    const int set = percent(rng) < 50 ? 1 : 0;
    for (int k = 0; k < 10; ++k) {
      const float x = 640 * unit(rng), y = 480 * unit(rng);
      SCOPED_TRACE(::testing::Message() << "trial " << trial << " ray " << k);
      const Reference want =
          referencePick(m, world, x, y, texelMode, set, viewport, view, projection);
      expectSame(pick(m, world, x, y, texelMode, set, viewport, view, projection), want.result);
      hits += want.result.hitCount > 0;
      texelHits += texelMode && want.result.hitCount > 0;
      quadHits += want.result.secondTriangle;
      multipleHits += want.result.hitCount > 1;
      ties += want.ties;
      behind += want.behindButHit;
    }
  }
  // The draw reached every rule: hits of both triangles and in both modes, replaced hits, ties
  // and quads reaching out in front of the eye from behind it.
  EXPECT_GT(hits, 800);
  EXPECT_GT(texelHits, 60);
  EXPECT_GT(quadHits, 200);
  EXPECT_GT(multipleHits, 300);
  EXPECT_GT(ties, 200);
  EXPECT_GT(behind, 10);
}

}  // namespace
}  // namespace tessarim
