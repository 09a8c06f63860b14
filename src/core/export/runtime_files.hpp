#pragma once

// What the two generations of the runtime export share.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "export/runtime_export.hpp"
#include "formats/staged_files.hpp"
#include "model/model.hpp"
#include "model/session.hpp"

namespace tessarim {

// The document's name with its last four characters replaced by extension (".daw"), and the
// host path of that name in the repository folder. Nothing, after the save-error message, when
// the name does not fit the 260-character path limit.
struct RuntimeName {
  std::string name;
  std::string host;
};
std::optional<RuntimeName> runtimeName(Session& session, std::string_view extension);

// "%S error while saving the following file...\n\n%S": the system's reason and the file name,
// or those of the staged set's failure.
void showSaveError(Session& session, std::string_view error, std::string_view name);
void showSaveError(Session& session, const StagedFiles& files);

// False, after telling the user that the export stopped, when value is more than limit: what
// names the value in the message.
bool fitsFormat(Session& session, std::string_view what, std::int64_t value, std::int64_t limit);

// False, after telling the user, when a name does not fit a 260-byte name field.
bool fitsNameField(Session& session, std::string_view name);

// "Scale failed 1": a module whose scale class gives no real unit cannot be placed.
void showScaleFailed(Session& session);

ExportResult exportCurrentSet(Session& session, SceneGeometry& scene, const ExportOptions& options);
ExportResult exportLegacySet(Session& session, SceneGeometry& scene, const ExportOptions& options);

}  // namespace tessarim
