#include "model/scale_class.hpp"

#include <array>

namespace tessarim {
namespace {

struct ScaleClassRow {
  std::string_view label;
  double kilometres;
  double density;
};

constexpr std::array<ScaleClassRow, scaleClassCount> scaleClasses{{
    {"Unassigned (Legacy)", 1, 0},
    {"Ships, Docks, Ground Elements, New Buildings", 0.00034822, 6.4},
    {"Legacy Buildings and Large Ships", 0.0039, 12.8},
    {"Small Vehicles", 0.00010156409, 4.266667},
    {"Interiors", 0.000006570189, 1.28},
    {"Panels and Legacy Monitors", 0.000006570189, 8.533334},
    {"", 0.00034822, 67.51653},
    {"Detailed Interiors", 0.000006570189, 2.56},
    {"Structures (1 foot)", 0.0003048, 6},
    {"Vehicles (1 foot)", 0.0003048, 24},
    {"Vehicles HD (1 inch)", 0.0000254, 2},
    {"People (1/4 inch)", 0.00000635, 0.75},
    {"Next Generation Monitors", 0.000006570189, 10},
    {"Next Generation Tablet Only", 0.000006570189, 14},
}};

const ScaleClassRow& row(int scaleClass) {
  return scaleClasses[scaleClass >= 0 && scaleClass < scaleClassCount ? scaleClass : 0];
}

}  // namespace

double unitKilometres(int scaleClass) {
  return row(scaleClass).kilometres;
}
double texelDensity(int scaleClass) {
  return row(scaleClass).density;
}
std::string_view scaleClassLabel(int scaleClass) {
  return scaleClass >= 0 && scaleClass < scaleClassCount ? scaleClasses[scaleClass].label : "";
}

}  // namespace tessarim
