#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.hpp"

namespace tessarim {

struct Session;
struct RepositoryFolder;
struct FileToSave;
class Ui;

inline constexpr float wldVersion = 2.32f;

struct WldReadOptions {
  bool skipComponentModules = false;  // merging: stop and fail at a component module
  bool interactive = false;           // the user's direct open: the older-version notice
  bool city = false;                  // the module belongs to a city
};

// What became of a module read from its file; every outcome but ok has been shown to the user.
enum class WldLoad {
  ok,
  noFile,            // no name, or the file is missing or cannot be opened: the name is cleared
  newerVersion,      // saved by a newer editor: the module is emptied, its name kept
  refused,           // not a WLD file, or text no WLD file holds: emptied, its name kept
  componentSkipped,  // merging: a component module, left out
};

// Reads a reset module from its `filename`. The version the file gave goes to fileVersion when
// asked for. A module read from a file that ends early is noted in the model under its filename
// (noteReadShort); one read whole clears an earlier note.
WldLoad loadWldModule(Session& session, Module& module, const WldReadOptions& options,
                      float* fileVersion = nullptr);
// The same for module[index]; true when it was read.
bool readWld(Session& session, int index, const WldReadOptions& options,
             float* fileVersion = nullptr);

enum class WldParseResult { ok, newerVersion, componentSkipped, notWld };

// Parses the text of a WLD file into a reset module and runs the integrity pass; every notice
// goes to the user through ui. readWld's work after the file is in memory. A file that ends
// before its last field is read as far as it goes; what it lacks goes to endsEarly ("ends early:
// 3 of 6 polygons"), which is left empty for a whole file.
WldParseResult parseWld(std::string_view text, Module& module, Ui& ui,
                        const RepositoryFolder& repository, const WldReadOptions& options,
                        float* fileVersion = nullptr, std::string* endsEarly = nullptr);

// The bytes of the module in the current version, CR LF line ends.
std::string formatWld(const Module& module);

// Writes module[index] when it is modified, after asking about what loading lost of its file;
// Retry/Cancel on failure. True when the file was written or there was nothing to write.
bool writeWld(Session& session, int index);
// A save of the module's file in the current version, and what a written file settles.
FileToSave wldFileToSave(const Session& session, const Module& module);
void noteWldSaved(Session& session, Module& module);

// Integrity pass: drops vertices no polygon uses, then merges vertices closer than 0.01 model
// units into the first of them. Counts removed.
int removeUnusedVertices(Module& module);
int removeDuplicateVertices(Module& module);
// For each vertex, the index of the vertex it merges into (itself when it survives).
std::vector<std::uint32_t> duplicateVertexTargets(const std::vector<Vertex>& vertices);

}  // namespace tessarim
