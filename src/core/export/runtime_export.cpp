#include "export/runtime_export.hpp"

#include <cerrno>
#include <system_error>

#include "export/runtime_files.hpp"
#include "formats/text_writer.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"

namespace tessarim {

std::optional<RuntimeName> runtimeName(Session& session, std::string_view extension) {
  const std::string& document = session.model.document.documentPath;
  std::string name = document.substr(0, document.size() >= 4 ? document.size() - 4 : 0);
  name += extension;
  if (name.size() >= 260) {
    showSaveError(session, std::generic_category().message(ENAMETOOLONG), name);
    return std::nullopt;
  }
  return RuntimeName{name, resolvePath(session.repository, name)};
}

void showSaveError(Session& session, std::string_view error, std::string_view name) {
  session.ui.messageBox(
      formatText("%S error while saving the following file...\n\n%S", error, name), "Error!",
      MessageIcon::error, MessageButtons::ok);
}

void showSaveError(Session& session, const StagedFiles& files) {
  showSaveError(session, files.error(), files.failedName());
}

bool fitsFormat(Session& session, std::string_view what, std::int64_t value, std::int64_t limit) {
  if (value <= limit) return true;
  session.ui.messageBox(
      formatText("The export was stopped: %S is %lli, more than the %lli the file "
                 "format can hold.\n\nNo file was written.",
                 what, value, limit),
      "Export stopped", MessageIcon::error, MessageButtons::ok);
  return false;
}

bool fitsNameField(Session& session, std::string_view name) {
  if (name.size() < 260) return true;
  session.ui.messageBox(formatText("The export was stopped: the name \"%S\" is longer than the 259 "
                                   "characters a name field holds.\n\nNo file was written.",
                                   name),
                        "Export stopped", MessageIcon::error, MessageButtons::ok);
  return false;
}

void showScaleFailed(Session& session) {
  session.ui.messageBox("Scale failed 1", "Scale failed", MessageIcon::none, MessageButtons::ok);
}

namespace {

// A batch run exports nothing of a document that lost content while loading: the runtime set
// would quietly lack it. The user at the window sees what is drawn and exports that.
bool refusedForLostContent(Session& session) {
  if (session.lostContent != LostContent::refuse) return false;
  const std::vector<std::string> lost = contentLostOnLoad(session.model);
  if (lost.empty()) return false;
  std::string lines;
  for (const std::string& line : lost) lines += line + "\n";
  session.ui.messageBox(
      formatText("Loading lost content of \"%S\":\n\n%S\nNothing was exported: a batch run "
                 "never exports a document without what loading lost.",
                 session.model.document.documentPath, lines),
      "Export stopped", MessageIcon::error, MessageButtons::ok);
  return true;
}

}  // namespace

ExportResult exportRuntimeSet(Session& session, SceneGeometry& scene,
                              const ExportOptions& options) {
  Model& model = session.model;
  if (model.document.documentPath.empty() || model.document.wldfiles == 0) return {};
  const std::string& document = model.document.documentPath;
  if (refusedForLostContent(session)) {
    session.writes.failed.push_back(document);
    return {};
  }
  ExportResult result = model.document.module[0].newScaleFamily
                            ? exportCurrentSet(session, scene, options)
                            : exportLegacySet(session, scene, options);
  WriteLog& log = session.writes;
  if (result.written)
    log.written.insert(log.written.end(), result.files.begin(), result.files.end());
  else
    log.failed.push_back(document);  // the set stays as it was; the message said why
  // The export's build is the 3D one; the view may show the texel layout.
  noteChanges(model, Change::geometry);
  return result;
}

}  // namespace tessarim
