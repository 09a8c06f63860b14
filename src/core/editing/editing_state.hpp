#pragma once

// What the viewport's keyboard and mouse editing keeps between messages: the polygon being
// typed and the source edge armed for edge snapping and straightening.

#include <algorithm>
#include <array>
#include <string>

#include "maths/maths.hpp"

namespace tessarim {

// The polygon of a typed entry; cleared when an entry starts.
struct PolygonEntry {
  int module = 0;    // receives the polygon
  int instance = 0;  // current when the entry began
  int sides = 0;     // 3 or 4 once the count is accepted
  std::array<Vec3, 4> vertices{};
  int vertexIndex = -1;  // field being entered: -1 the sides prompt, 0..sides-1 a corner,
                         // sides when every corner is in
  int axis = 0;          // of the current corner: 0 X, 1 Y, 2 Z
  std::array<std::string, 4> notes;                    // one line per corner, shown once it is in
  std::array<int, 4> matchedVertices{-1, -1, -1, -1};  // existing module vertex, -1 adds one
  int polygonIndex = 0;  // replaced polygon; the module's polygon count when one is added
};

struct EditingState {
  bool entryActive = false;
  PolygonEntry entry;
  std::string entryText;  // the characters typed for the current field, at most 79
  // Corners picked on the graph paper lie at its height (the camera's graphHeight), which Page Up
  // and Page Down change while an entry runs.
  // How far the entry panel has slid in from the right edge, 0..1: it rises over 0.2 s while
  // an entry runs and is back at 0 as soon as the entry ends, so every entry slides in afresh.
  float entrySlide = 0;

  bool sourceEdgeSet = false;  // armed for edge snap and Straighten Edge
  int sourcePolygon = 0;
  int sourceEdge = 0;  // 0..3: edge k runs from corner k to corner k+1, the last back to 0
  std::array<float, 4> sourceEdgeTexels{};  // u0, v0, u1, v1 as they were when picked
};

inline void advanceEntrySlide(EditingState& editing, float elapsedSeconds) {
  editing.entrySlide =
      editing.entryActive ? std::min(editing.entrySlide + elapsedSeconds * 5, 1.0f) : 0.0f;
}

}  // namespace tessarim
