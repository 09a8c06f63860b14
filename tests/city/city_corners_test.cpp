#include "model/city_corners.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessarim
