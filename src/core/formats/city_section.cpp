#include "formats/city_section.hpp"

#include <algorithm>

#include "formats/rts_section.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "model/ground_grid.hpp"
#include "model/model.hpp"
#include "model/session.hpp"
#include "model/text_compare.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// Cells per side of the grid a file of version v holds.
int fileGridSize(float v, bool rtsEnabled) {
  if (v < 2.19f) return 25;
  if (v < 2.2f) return 24;
  if (v < 2.27f) return rtsEnabled ? 13 : 26;
  if (v < 2.43f) return 278;
  return gridSize;
}

// Pieces that older files used for tiles that no longer exist.
bool retiredPiece(std::uint8_t piece) {
  return piece == 30 || piece == 32 || piece == 34 || piece == 41;
}

}  // namespace

void readCityGridSection(Session& s, TextScanner& in, float v, bool& modified, EarlyEnd& early) {
  Model& model = s.model;
  Document& document = model.document;
  std::int32_t flag = 0, second = 0;
  document.modelId = 0;
  if (v > 2.41f) {
    in.scan("%d ,%d ,\n", &flag, &second);
    document.modelId = static_cast<std::int16_t>(second);
  } else if (v > 2.28f) {
    in.scan("%d ,\n", &flag);
  } else if (v > 2.23f) {
    in.scan("%d ,%d ,\n", &flag, &second);
  } else if (v > 2.19f) {
    in.scan("%d ,\n", &flag);
  }
  document.rtsEnabled = flag != 0;
  early.check("ends early: before its ground-grid cells");
  if (document.modelId == 0) {
    s.ui.messageBox("This CTY doesn't have a model ID set!", "Skew Matrix Calculation",
                    MessageIcon::error, MessageButtons::ok);
  }

  const int n = fileGridSize(v, document.rtsEnabled);
  bool stuck = false;
  for (int row = 0; row < n && !stuck; ++row) {
    for (int column = 0; column < n; ++column) {
      std::size_t before = in.remaining();
      std::int32_t turn = 0, piece = 0;
      if (in.integerComma(turn) == 2) in.integerComma(piece);  // "%d ,%d ,"
      if (v > 2.3f && v < 2.43f) {
        std::int32_t ignored[3];
        in.scan("%d ,%d ,", &ignored[0], &ignored[1]);
        if (v > 2.32f) in.scan("%d ,", &ignored[2]);
      }
      // A cell cut short is not kept, nor is one that reads nothing: every later cell would read
      // the same nothing.
      if (early.check(row * n + column, n * n, "ground-grid cells") || in.remaining() == before) {
        stuck = true;
        break;
      }
      if (row < gridSize && column < gridSize) {
        RtspsCell& cell = model.document.rtspsGrid[row * gridSize + column];
        cell.turn = static_cast<std::uint8_t>(turn);
        cell.piece = static_cast<std::uint8_t>(piece);
      }
    }
  }
  if (v < 2.49f) {
    for (RtspsCell& cell : model.document.rtspsGrid) {
      if (retiredPiece(cell.piece)) {
        cell.piece = 0;
        modified = true;
      }
    }
  }
  if (v < 2.19f) {
    in.skipWhitespace();
    in.readLine(261);
    early.check("ends early: after its ground-grid cells");
  }

  addGroundGrid(model);

  for (auto& name : model.document.buildingNames) name.clear();
  if (v > 2.27f) {
    std::int32_t count = 0;
    in.scan("%d ,\n", &count);
    early.check("ends early: before its building names");
    // Names past the table's end are read past, so the street nodes that follow stay in step.
    for (std::int32_t i = 0; i < count; ++i) {
      std::size_t before = in.remaining();
      std::string name;
      in.scan("%31[^\n]\n", &name);
      if (early.check(i, count, "building names")) break;  // a name cut short is not kept
      if (in.remaining() == before) break;
      if (i < maxBuildingNames)
        model.document.buildingNames[i] = equalIgnoringCase(name, "Unused") ? std::string{} : name;
    }
  }

  if (v > 2.44f) {
    model.document.streetNodes.modelId = document.modelId;
    readNodeSection(model.document.streetNodes, in, v, s.ui, &early);
  }
}

void addGroundGrid(Model& model) {
  if (model.document.wldfiles >= maxModules) return;  // the reader keeps a slot free for it
  buildGroundGrid(model, model.document.wldfiles);
  ++model.document.wldfiles;
}

std::optional<std::string> writeCitySection(const Model& model, TextWriter& out) {
  TextWriter nodes;  // line ends are converted once, by out
  if (auto error = writeNodeSection(model.document.streetNodes, nodes)) return error;
  out.print("RTS\n");
  out.print(model.document.rtsEnabled ? " 1 ,%i ,\n" : " 0 ,%i ,\n", model.document.modelId);
  for (int row = 0; row < gridSize; ++row) {
    for (int column = 0; column < gridSize; ++column) {
      const RtspsCell& cell = model.document.rtspsGrid[row * gridSize + column];
      out.integer(cell.turn).text(" ,").integer(cell.piece).text(" ,");  // "%i ,%i ,"
    }
    out.print("\n");
  }
  out.print("%i ,\n", maxBuildingNames);
  for (const std::string& name : model.document.buildingNames) {
    out.text(name.empty() ? std::string_view{"Unused"} : std::string_view{name}).text("\n");
  }
  out.text(nodes.str());
  return std::nullopt;
}

}  // namespace tessarim
