#pragma once

// Selection and navigation over the open document: operations on the model alone, so that the
// menu's handlers, the batch front end and tests share them. Each returns false, changing
// nothing, when what it starts from is missing: a current module, instance or polygon that names
// nothing loaded, or for the instance selections a mesh or the texel view where they do not apply.

#include <optional>
#include <random>

namespace tessarim {

struct Model;

// One step of the current polygon, instance or group through the document, wrapping at the ends.
bool stepCurrentPolygon(Model& model, int direction);
bool stepCurrentInstance(Model& model, int direction);
bool stepCurrentGroup(Model& model, int direction);
// The module a type step from the current one lands on; nothing when it cannot start.
std::optional<int> typeStepTarget(const Model& model, int direction);
// The selection after a type step lands on module m: its first instance, no polygon, no group.
void landOnModule(Model& model, int m);

// A mesh or the texel view: every polygon of the shown module; otherwise every instance but a
// city's ground grid.
bool selectEverything(Model& model);
// Every instance that was not selected; the current one counts as not selected.
bool invertInstanceSelection(Model& model);
// Adds to the selected polygons every polygon sharing a vertex with one of them: one ring a call.
bool addNeighbourPolygons(Model& model);
// Every instance of the current module, of the current instance's type, of its group.
bool selectInstancesOfModule(Model& model);
bool selectInstancesOfType(Model& model);
bool selectInstancesOfGroup(Model& model);
// Each polygon of the current module with even odds, drawn from `engine`.
bool selectRandomHalf(Model& model, std::mt19937& engine);

}  // namespace tessarim
