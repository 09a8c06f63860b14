#pragma once

namespace tessarim {

struct Model;

// Regenerates module moduleIndex as the city's ground grid from the RTSPS grid: one instance,
// scale class 2, 27 x 27 vertices spanning the city's corners, one quad per cell grouped by
// ground piece, and the model's tile records for those groups. Does nothing without a city.
void buildGroundGrid(Model& model, int moduleIndex);

}  // namespace tessarim
