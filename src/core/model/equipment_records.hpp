#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/guid.hpp"

namespace tessarim {

// A blinking light of the document (at most 255).
struct Light {
  std::array<float, 3> position{};
  std::array<float, 3> normal{};
  std::uint32_t colour = 0;    // ARGB, alpha in the top byte
  std::uint32_t sequence = 0;  // 32 sequencer boxes, bit 0 first
  std::uint32_t cursor = 0;    // runtime
  float secondsPerCycle = 0;
  float effectType = 0;
  float phase = 0;  // runtime
  std::int16_t attached = 0;

  // An edit keeping the lights can tell whether it changed them.
  friend bool operator==(const Light&, const Light&) = default;
};

// One straight connector segment.
struct Connector {
  Guid guid;
  Guid dependency;
  std::array<float, 3> farEnd{};
  std::array<float, 3> nearEnd{};
  std::int32_t system = 0;
  std::array<float, 4> values{};  // carried through the component file
  std::int32_t value = 0;         // carried through the component file
  std::uint32_t runtime = 0;      // not stored

  // An edit keeping the connector list can tell whether it changed.
  friend bool operator==(const Connector&, const Connector&) = default;
};

// A feed into a component.
struct Dependency {
  std::int32_t first = -1;
  std::int32_t second = -1;
  std::uint8_t flag = 0;
  std::vector<Guid> loop;

  friend bool operator==(const Dependency&, const Dependency&) = default;
};

// The equipment state of one instance of a component module.
struct Component {
  Guid guid;        // the instance that is this component
  Guid attachment;  // the instance it is attached to
  std::string name;
  std::vector<Dependency> dependencies;
  float setState = 0;
  std::array<float, 7> values{};  // carried through the component file
  std::int32_t value = 0;         // carried through the component file

  // An edit keeping the component list can tell whether it changed.
  friend bool operator==(const Component&, const Component&) = default;
};

inline constexpr int jointCount = 16;

// One key of a figure animation slot.
struct KeyFrame {
  float start = 0;                                        // seconds
  float end = 0;                                          // seconds; -1 on a free key
  std::array<std::array<float, 3>, jointCount> joints{};  // yaw, pitch, roll of types 100..115
  std::array<float, 3> offset{};                          // skeleton offset
};

inline constexpr int animationSlotCount = 15;
inline constexpr int keyFramesPerSlot = 10;
using AnimationSlot = std::array<KeyFrame, keyFramesPerSlot>;

}  // namespace tessarim
