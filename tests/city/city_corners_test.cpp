#include "model/city_corners.hpp"

#include <gtest/gtest.h>

#include <array>

#include "maths/maths.hpp"

namespace tessarim {
namespace {

// The ground-grid corners of every named district are its kilometre corners in units of
// 0.0039 km; a typo in either table breaks the match.
TEST(CityCorners, UnitCornersAreTheKilometreCornersOfEveryNamedDistrict) {
  for (int id : {-1, -4, -5, -6, -13, -16, -17, -18, -19, -12, -9, -8}) {
    const auto km = cityCornersKm(static_cast<std::int16_t>(id));
    const auto units = cityCorners(static_cast<std::int16_t>(id), false);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(units[k].x, km[k].x * 256.41025f, 0.001f) << id << " corner " << k;
      EXPECT_NEAR(units[k].y, km[k].y * 256.41025f, 0.001f) << id << " corner " << k;
    }
  }
}

TEST(CityCorners, UnnamedTypesDifferBetweenTheTwoTables) {
  for (int id : {0, 5, -2, -3, -7, -20}) {
    EXPECT_EQ(cityCornersKm(static_cast<std::int16_t>(id))[0].x, -1.445061f) << id;
    EXPECT_EQ(cityCorners(static_cast<std::int16_t>(id), false)[0].x, -260.0f) << id;
  }
}

// Each kilometre corner lands on its corner of the square: +-1.014 in kilometres, or +-260 when
// the corners are first taken to ground-grid units.
TEST(CityCorners, CornerTransformMapsEveryCornerOntoItsSquare) {
  for (int id : {-1, -16, -12, -9, 0}) {
    for (bool unitSquare : {true, false}) {
      const auto h = cityCornerTransform(static_cast<std::int16_t>(id), unitSquare);
      ASSERT_TRUE(h) << id;
      const float s = unitSquare ? 1.014f : 260.0f;
      const float unit = unitSquare ? 1.0f : 256.41025f;
      const std::array<CityCorner, 4> want{{{-s, s}, {-s, -s}, {s, s}, {s, -s}}};
      const auto km = cityCornersKm(static_cast<std::int16_t>(id));
      for (int k = 0; k < 4; ++k) {
        const Vec3 p = transformCoord({km[k].x * unit, km[k].y * unit, 0}, *h);
        EXPECT_NEAR(p.x, want[k].x, s * 1e-5f) << id << " corner " << k;
        EXPECT_NEAR(p.y, want[k].y, s * 1e-5f) << id << " corner " << k;
        EXPECT_EQ(p.z, 0) << id << " corner " << k;
      }
    }
  }
}

}  // namespace
}  // namespace tessarim
