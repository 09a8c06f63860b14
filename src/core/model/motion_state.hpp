#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

enum class EndMode : std::uint8_t { none, snapToZero, reverse };

// The document's motion state, as the MOTION menu and the animation panel set it.
struct MotionState {
  bool extended = false;  // the Extended view: parts extend (else they retract)
  EndMode endMode = EndMode::none;
  std::array<float, 3> skeletonOffset{};
  bool prog = false;  // progressive playback: body parts keep their place
};

}  // namespace tessarim
