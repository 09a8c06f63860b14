#pragma once

// FILE, Export, "&WLD file...": the placed geometry of some instances of an assembly or city
// baked into one new module. The maps the merged modules disagree on are dropped, and modules of
// different scale classes give a module of the unassigned class without maps; what was dropped is
// returned for the command to warn about.

#include <span>
#include <vector>

#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/records.hpp"

namespace tessarim {

struct WldMerge {
  // No file name, not modified, one default instance; canvases of 2048 x 2048 where the merged
  // modules' canvases of a set disagree or none of them has a map of that set.
  Module module;
  std::vector<int> variedMaps;  // map slots that differ between modules, in the order first met
  bool mixedScales = false;     // the modules are of more than one scale class
};

// The instances the export merges: the multi-instance selection, or else the current module and
// instance, which then become a selection of one. Empty when neither names an instance.
std::vector<InstanceRef> takeWldExportList(Model& model);

// Merges the polygons of the listed instances in list order. A corner is placed by its instance's
// worldMatrix (kilometres, the pose the view shows), brought into the result's units and moved
// by the listed instances' average location rounded to whole units; corners within 0.001 on every
// axis share the first such vertex. Of modules of one class the result keeps that class and their
// units; mixed classes give the unassigned class, whose unit is a kilometre, and each location is
// converted from its own module's units. The first listed module's base-map name is taken
// repository-relative. Entries that name no instance are left out.
WldMerge mergeInstances(const Document& document, std::span<const InstanceRef> list,
                        const RepositoryFolder& repository);

}  // namespace tessarim
