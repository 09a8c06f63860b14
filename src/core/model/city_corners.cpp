#include "model/city_corners.hpp"

#include <cmath>
#include <utility>

namespace tessarim {

// The two tables describe the same districts: each unit corner is its kilometre corner times
// 256.41025. They part only for types no row names. The kilometre table gives them the largest
// district (type -8), while the ground grid of an unknown type is the plain square +-260, the
// square the street-node map spans (2.028 km across).

std::array<CityCorner, 4> cityCornersKm(std::int16_t modelId) {
  switch (modelId) {
    case -1:
    case -4:
    case -5:
    case -6:
    case -13:
      return {{{-1.161655f, 1.330704f},
               {-1.161576f, -1.247375f},
               {1.161952f, 1.247864f},
               {1.161787f, -1.331222f}}};
    case -16:
    case -17:
    case -18:
    case -19:
      return {{{-1.080001f, 1.20491f},
               {-1.08009f, -1.283584f},
               {1.080524f, 1.284088f},
               {1.08068f, -1.205444f}}};
    case -12:
      return {{{-1.065224f, 0.6958007f},
               {-1.064803f, -1.025024f},
               {1.065148f, 1.02478f},
               {1.064654f, -0.6959228f}}};
    case -9:
      return {{{-0.7861854f, 1.198181f},
               {-0.7859596f, -0.7735595f},
               {0.7868086f, 0.7741699f},
               {0.7865461f, -1.198364f}}};
    default:
      return {{{-1.445061f, 1.445207f},
               {-1.445057f, -1.44514f},
               {1.445057f, 1.445125f},
               {1.445057f, -1.445191f}}};
  }
}

std::array<CityCorner, 4> cityCorners(std::int16_t modelId, bool rtsEnabled) {
  auto square = [](float s) {
    return std::array<CityCorner, 4>{{{-s, s}, {-s, -s}, {s, s}, {s, -s}}};
  };
  if (rtsEnabled) return square(130);
  switch (modelId) {
    case -1:
    case -4:
    case -5:
    case -6:
    case -13:
      return {{{-297.8603f, 341.20602f},
               {-297.83997f, -319.8398f},
               {297.9363f, 319.96503f},
               {297.894f, -341.33905f}}};
    case -16:
    case -17:
    case -18:
    case -19:
      return {{{-276.92328f, 308.9513f},
               {-276.946f, -329.1242f},
               {277.05743f, 329.25333f},
               {277.0973f, -309.08826f}}};
    case -12:
      return {{{-273.13434f, 178.41043f},
               {-273.02637f, -262.82672f},
               {273.11487f, 262.76413f},
               {272.9881f, -178.44173f}}};
    case -9:
      return {{{-201.586f, 307.2259f},
               {-201.52809f, -198.34859f},
               {201.74577f, 198.50508f},
               {201.67848f, -307.27283f}}};
    case -8:
      return {{{-370.52835f, 370.56577f},
               {-370.52737f, -370.5487f},
               {370.52737f, 370.54474f},
               {370.52737f, -370.56183f}}};
    default:
      return square(260);
  }
}

std::optional<Matrix> cityCornerTransform(std::int16_t modelId, bool unitSquare) {
  const double s = unitSquare ? 1.014 : 260;
  const double unit = unitSquare ? 1 : 256.41025;
  const std::array<CityCorner, 4> from = cityCornersKm(modelId);
  const std::array<std::array<double, 2>, 4> to{{{-s, s}, {-s, -s}, {s, s}, {s, -s}}};

  // u = (h0 x + h1 y + h2) / (h6 x + h7 y + 1), v = (h3 x + h4 y + h5) / (h6 x + h7 y + 1):
  // two rows per corner of an 8 x 8 system, augmented by its right-hand side.
  std::array<std::array<double, 9>, 8> a{};
  for (int k = 0; k < 4; ++k) {
    const double x = from[k].x * unit, y = from[k].y * unit;
    const double u = to[k][0], v = to[k][1];
    a[2 * k] = {x, y, 1, 0, 0, 0, -u * x, -u * y, u};
    a[2 * k + 1] = {0, 0, 0, x, y, 1, -v * x, -v * y, v};
  }
  for (int col = 0; col < 8; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 8; ++row) {
      if (std::abs(a[row][col]) > std::abs(a[pivot][col])) pivot = row;
    }
    if (a[pivot][col] == 0) return std::nullopt;
    std::swap(a[col], a[pivot]);
    for (int row = 0; row < 8; ++row) {
      if (row == col) continue;
      const double f = a[row][col] / a[col][col];
      for (int c = col; c < 9; ++c) a[row][c] -= f * a[col][c];
    }
  }
  std::array<float, 8> h{};
  for (int i = 0; i < 8; ++i) h[i] = static_cast<float>(a[i][8] / a[i][i]);
  return Matrix{{{h[0], h[3], 0, h[6]}, {h[1], h[4], 0, h[7]}, {0, 0, 1, 0}, {h[2], h[5], 0, 1}}};
}

}  // namespace tessarim
