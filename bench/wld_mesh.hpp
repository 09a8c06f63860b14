#pragma once

// Synthetic WLD content for the benchmarks: deterministic, so every run measures the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.hpp"
#include "platform/ui.hpp"

namespace tessarim::bench {

// Answers every box with its first button, except Retry/Cancel, which is cancelled so a failed
// save cannot loop; a benchmark checks `boxes` to see whether anything unexpected was shown.
class SilentUi : public Ui {
 public:
  MessageAnswer messageBox(std::string_view, std::string_view caption, MessageIcon,
                           MessageButtons buttons) override {
    ++boxes;
    lastCaption = std::string{caption};
    switch (buttons) {
      case MessageButtons::retryCancel:
        return MessageAnswer::cancel;
      case MessageButtons::yesNo:
      case MessageButtons::yesNoCancel:
        return MessageAnswer::yes;
      default:
        return MessageAnswer::ok;
    }
  }
  std::vector<std::string> openFile(const FileFilter&, std::string_view, bool) override {
    return {};
  }
  std::optional<std::string> saveFile(const FileFilter&, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }

  int boxes = 0;
  std::string lastCaption;
};

struct MeshShape {
  int polygons = 500'000;
  int gridSide = 244;   // gridSide² grid vertices: 59,536
  int duplicates = 64;  // extra vertices within 0.01 of a grid vertex, each used by one polygon
};

// A terrain-like sheet: a jittered grid with heights, triangles and quads over its cells (every
// cell covered several times over, as layered hull and detail geometry does), texels with six
// decimals, overlay texels on a third of the polygons, coordinates with four decimals.
Module makeMesh(const MeshShape& shape = {});

// Vertices the integrity pass keeps from makeMesh(shape).
inline std::size_t survivingVertices(const MeshShape& shape) {
  return static_cast<std::size_t>(shape.gridSide) * static_cast<std::size_t>(shape.gridSide);
}

// n vertices with four decimals spread through a cube at about one unit spacing; duplicateShare
// of them lie within 0.01 of an earlier original vertex, interleaved as edits leave them.
// survivors receives how many are originals.
std::vector<Vertex> makeVertexCloud(std::size_t n, double duplicateShare,
                                    std::size_t* survivors = nullptr);

// A module over a vertex cloud: about one polygon per vertex, triangles and quads on nearby
// indices, every vertex used.
Module makeCloudModule(std::size_t n, double duplicateShare, std::size_t* survivors = nullptr);

// A flat sheet of side x side vertices one unit apart, a quad over every cell: the shape of a
// large terrain arriving from another tool. Nothing in it is removed or merged on load.
Module makeGridModule(int side);

// Heap bytes the module owns: vector capacities times element sizes, plus string buffers that
// do not fit the small-string storage, plus the Module record itself.
std::size_t moduleBytes(const Module& m);

}  // namespace tessarim::bench
