#include "wld_mesh.hpp"

#include <cmath>
#include <numbers>

namespace tessarim::bench {
namespace {

// splitmix64: the same sequence on every platform and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  std::uint64_t below(std::uint64_t n) { return next() % n; }
  bool chance(double p) { return unit() < p; }

 private:
  std::uint64_t state_;
};

// Values as the file stores them, so a write and read give back the same floats.
float fourDecimals(double v) {
  return static_cast<float>(std::round(v * 1e4) / 1e4);
}
float sixDecimals(double v) {
  return static_cast<float>(std::round(v * 1e6) / 1e6);
}

Texel randomTexel(Random& r) {
  // Mostly inside the canvas, some tiling past it.
  return {sixDecimals(r.unit() * 1.25), sixDecimals(r.unit() * 1.25)};
}

float colourChannel(Random& r) {
  return static_cast<float>(r.below(256)) / 255.0f;
}

void fillSurface(Polygon& p, Random& r) {
  p.colour = {colourChannel(r), colourChannel(r), colourChannel(r), 1.0f};
  for (int c = 0; c < p.sides; ++c) p.texels[c] = randomTexel(r);
  p.texelAngle =
      r.chance(0.2) ? -1.0f : sixDecimals(static_cast<double>(r.below(4)) * std::numbers::pi / 2);
  if (r.chance(1.0 / 3)) {
    for (int c = 0; c < p.sides; ++c) p.texels2[c] = randomTexel(r);
    p.texelAngle2 = 0;
  } else {
    p.texelAngle2 = -1;
  }
  p.smooth = r.chance(0.7) ? 1 : 0;
}

void setHeader(Module& m) {
  m.version = 2.32f;
  m.scaleClass = 1;
  m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 2048;
  m.maps[textfile] = "Maps\\hull_base.png";
  m.maps[lightfile] = "Maps\\hull_light.png";
  m.maps[overlayfile] = "Maps\\hull_grime_overlay.png";
}

}  // namespace

Module makeMesh(const MeshShape& shape) {
  Random r{0x7E55A41Dull};
  Module m;
  setHeader(m);

  const int side = shape.gridSide;
  constexpr double spacing = 2.5;
  m.vertices.reserve(survivingVertices(shape) + static_cast<std::size_t>(shape.duplicates));
  for (int row = 0; row < side; ++row) {
    for (int col = 0; col < side; ++col) {
      // Jitter of at most a fifth of the spacing keeps grid vertices far more than 0.01 apart.
      double x = (col - side / 2) * spacing + (r.unit() - 0.5) * spacing * 0.4;
      double y = (row - side / 2) * spacing + (r.unit() - 0.5) * spacing * 0.4;
      double z = 40 * std::sin(x / 97.0) * std::cos(y / 61.0) + r.unit() * 3;
      m.vertices.push_back({fourDecimals(x), fourDecimals(y), fourDecimals(z)});
    }
  }

  const int cells = (side - 1) * (side - 1);
  m.polygons.resize(static_cast<std::size_t>(shape.polygons));
  for (int i = 0; i < shape.polygons; ++i) {
    Polygon& p = m.polygons[static_cast<std::size_t>(i)];
    const int cell = i % cells;
    const int row = cell / (side - 1), col = cell % (side - 1);
    const auto corner = [&](int dr, int dc) {
      return static_cast<std::uint16_t>((row + dr) * side + col + dc);
    };
    const std::uint16_t a = corner(0, 0), b = corner(0, 1), c = corner(1, 1), d = corner(1, 0);
    switch (r.below(5)) {
      case 0:
      case 1:
        p.sides = 4;
        p.vertexIndex = {a, b, c, d};
        break;
      case 2:
        p.sides = 3;
        p.vertexIndex = {a, b, c, 0};
        break;
      case 3:
        p.sides = 3;
        p.vertexIndex = {a, c, d, 0};
        break;
      default:
        p.sides = 3;
        p.vertexIndex = {a, b, d, 0};
        break;
    }
    fillSurface(p, r);
  }

  // Duplicates left by welding mistakes: a copy of a polygon's first corner a few thousandths
  // away, which that polygon then uses.
  const std::size_t stride =
      m.polygons.size() / static_cast<std::size_t>(std::max(shape.duplicates, 1));
  for (int k = 0; k < shape.duplicates; ++k) {
    Polygon& p = m.polygons[static_cast<std::size_t>(k) * stride + stride / 2];
    Vertex v = m.vertices[p.vertexIndex[0]];
    v.x = fourDecimals(v.x + 0.003);
    v.z = fourDecimals(v.z - 0.002);
    p.vertexIndex[0] = static_cast<std::uint16_t>(m.vertices.size());
    m.vertices.push_back(v);
  }
  return m;
}

std::vector<Vertex> makeVertexCloud(std::size_t n, double duplicateShare, std::size_t* survivors) {
  Random r{0xC10D5EEDull + n};
  // Originals sit on the sites of a unit lattice, jittered by at most 0.3 per axis, so no two
  // of them are within 0.01 and only the planted duplicates merge. Sites are taken in random
  // order; the grid's hashing scatters its cells anyway.
  const auto side = static_cast<std::size_t>(std::ceil(std::cbrt(static_cast<double>(n))));
  std::vector<std::uint32_t> sites(side * side * side);
  for (std::size_t i = 0; i < sites.size(); ++i) sites[i] = static_cast<std::uint32_t>(i);
  for (std::size_t i = sites.size() - 1; i > 0; --i) std::swap(sites[i], sites[r.below(i + 1)]);
  auto jittered = [&](std::size_t k) {
    return fourDecimals(static_cast<double>(k) + (r.unit() - 0.5) * 0.6);
  };

  std::vector<Vertex> vertices;
  vertices.reserve(n);
  std::vector<std::size_t> originals;
  originals.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!originals.empty() && r.chance(duplicateShare)) {
      // Within 0.0055 on each axis: at most 0.0095 away, so always merged.
      const Vertex& o = vertices[originals[r.below(originals.size())]];
      auto near = [&](float c) { return fourDecimals(c + (r.unit() - 0.5) * 0.011); };
      vertices.push_back({near(o.x), near(o.y), near(o.z)});
    } else {
      const std::size_t site = sites[originals.size()];
      originals.push_back(i);
      vertices.push_back(
          {jittered(site % side), jittered(site / side % side), jittered(site / side / side)});
    }
  }
  if (survivors) *survivors = originals.size();
  return vertices;
}

Module makeCloudModule(std::size_t n, double duplicateShare, std::size_t* survivors) {
  Random r{0xF00DFACEull + n};
  Module m;
  setHeader(m);
  m.vertices = makeVertexCloud(n, duplicateShare, survivors);
  m.polygons.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    Polygon& p = m.polygons[i];
    p.sides = r.chance(0.4) ? 4 : 3;
    for (int c = 0; c < 4; ++c) {
      p.vertexIndex[c] =
          c < p.sides ? static_cast<std::uint16_t>((i + static_cast<std::size_t>(c)) % n) : 0;
    }
    fillSurface(p, r);
  }
  return m;
}

std::size_t moduleBytes(const Module& m) {
  auto heap = [](const std::string& s) {
    return s.capacity() > std::string{}.capacity() ? s.capacity() + 1 : 0;
  };
  std::size_t bytes = sizeof(Module);
  bytes += m.vertices.capacity() * sizeof(Vertex);
  bytes += m.polygons.capacity() * sizeof(Polygon);
  bytes += m.instances.capacity() * sizeof(Instance);
  bytes += heap(m.filename);
  for (const auto& name : m.maps) bytes += heap(name);
  bytes += heap(m.component.make) + heap(m.component.model) + heap(m.component.descriptor);
  return bytes;
}

Module makeGridModule(int side) {
  Module m;
  setHeader(m);
  const auto n = static_cast<std::uint32_t>(side);
  m.vertices.reserve(static_cast<std::size_t>(n) * n);
  for (std::uint32_t j = 0; j < n; ++j) {
    for (std::uint32_t i = 0; i < n; ++i)
      m.vertices.push_back({static_cast<float>(i), static_cast<float>(j), 0});
  }
  Polygon p;
  p.sides = 4;
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  m.polygons.reserve(static_cast<std::size_t>(n - 1) * (n - 1));
  for (std::uint32_t j = 0; j + 1 < n; ++j) {
    for (std::uint32_t i = 0; i + 1 < n; ++i) {
      const std::uint32_t corner = j * n + i;
      p.vertexIndex = {corner + n + 1, corner + 1, corner, corner + n};
      m.polygons.push_back(p);
    }
  }
  return m;
}

}  // namespace tessarim::bench
