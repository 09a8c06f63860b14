#pragma once

// The text column over the viewport while statistics are on: what is selected and where.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_buffers.hpp"

namespace tessarim {

struct Model;
struct FrameState;
struct EditingState;

enum class StatusFont { large, small };  // the larger ("Arial" 10 pt) and smaller (mono 9 pt) fonts

inline constexpr std::uint32_t statusYellow = 0xFFFFFF00, statusCyan = 0xFF00FFFF,
                               statusLightCyan = 0xFF80FFFF, statusWhite = 0xFFFFFFFF,
                               statusMagenta = 0xFFFF00FF, statusPink = 0xFFFF80FF;

struct StatusLine {
  std::string text;
  std::uint32_t colour;  // ARGB
  StatusFont font;
  float x, y;  // pixels from the top-left
};

// What the lines take from the platform.
struct StatusInputs {
  std::string frameStatistics;   // frame rate and device
  std::string deviceStatistics;  // device settings
  std::int64_t residentBytes = 0;
  int width = 0, height = 0;  // viewport pixels
};

// The lines in drawing order; the column starts at (2, 0) and steps 20 pixels a line.
std::vector<StatusLine> statusLines(const Model& model, const FrameState& frame,
                                    const SceneGeometry& scene, const EditingState& editing,
                                    const StatusInputs& inputs);

// The process's resident memory in bytes; 0 when the system does not say.
std::int64_t residentMemoryBytes();

// The window title, always derived from the document: "Tessarim - %S%S" with the document path
// (or the single mesh's file name) and, while statistics are shown, "*" while modified;
// "Tessarim" with no document.
std::string windowTitleFor(const Model& model);

}  // namespace tessarim
