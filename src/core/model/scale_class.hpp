#pragma once

#include <string_view>

namespace tessarim {

inline constexpr int scaleClassCount = 14;

// Kilometres per model unit; any class outside the table behaves as class 0.
double unitKilometres(int scaleClass);
// Factor for generated texels of set 0 (set 1 uses twice this).
double texelDensity(int scaleClass);
// The "Assign Scale" menu label; empty for class 6 and classes outside the table.
std::string_view scaleClassLabel(int scaleClass);

}  // namespace tessarim
