#pragma once

// The codes an instance carries: its type, its group and its colour key, set from the INSTANCE
// and GROUP families, and the draw order of the modules that types and groups decide. Their check
// marks are the rules of instance_commands.

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;
struct Instance;
struct Model;
class Edit;

// Where an instance's type and group put its module in the draw order: lower draws earlier
// (glass and glow later, ground and decals first).
int drawRank(const Instance& instance);

// Sorts the modules (a city's ground grid stays last) by sort key, then by the draw rank of each
// module's first instance, both stable; the current module stays with its record. Nothing in a
// city with zonal scaling. True when anything moved.
bool sortModulesByDrawOrder(Model& model, Edit& edit);

// The family items: the row's code goes into every selected instance (or the current one).
bool setInstanceType(Editor& editor, const Command& command);
// With a group browsed, the whole group is renumbered (and stays browsed under its new number).
bool setInstanceGroup(Editor& editor, const Command& command);
// A people package's "Assign": its group, and its slot shows the package.
bool assignPeoplePackage(Editor& editor, const Command& command);
bool setColourKey(Editor& editor, const Command& command);
bool optimizeOrder(Editor& editor, const Command& command);
bool canOptimizeOrder(const MenuContext& context, const Command& command);

}  // namespace tessarim
