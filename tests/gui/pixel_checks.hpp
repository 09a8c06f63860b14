#pragma once

#include <QRgb>
#include <cstdlib>

#include "commands/menu_state.hpp"

namespace tessarim::testing {

// A menu nobody sees, for frame moves of a viewport without its window.
struct NoMenu : MenuSink {
  void setPopupEnabled(int, bool) override {}
  void setItemEnabled(int, bool) override {}
  void setItemChecked(int, bool) override {}
};

// The pixel has the colour within a rounding step or two of the software renderer.
inline bool near(QRgb pixel, int r, int g, int b, int tolerance = 2) {
  return std::abs(qRed(pixel) - r) <= tolerance && std::abs(qGreen(pixel) - g) <= tolerance &&
         std::abs(qBlue(pixel) - b) <= tolerance;
}

}  // namespace tessarim::testing
