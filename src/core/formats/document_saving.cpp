#include "formats/document_saving.hpp"

#include <algorithm>

#include "formats/staged_files.hpp"
#include "formats/text_writer.hpp"
#include "model/model.hpp"
#include "model/session.hpp"

namespace tessarim {
namespace {

bool inSet(const std::vector<FileToSave>& files, const std::string& name) {
  return std::any_of(files.begin(), files.end(),
                     [&](const FileToSave& f) { return f.name == name; });
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += line + "\n";
  return joined;
}

bool ask(Ui& ui, const std::string& text, const char* caption) {
  return ui.messageBox(text, caption, MessageIcon::warning, MessageButtons::yesNo) ==
         MessageAnswer::yes;
}

}  // namespace

bool confirmLostContent(Session& session, const std::vector<FileToSave>& files) {
  const Model& model = session.model;
  const std::string& document = model.document.documentPath;
  if (session.lostContent == LostContent::refuse) {
    const std::vector<std::string> lost = contentLostOnLoad(model);
    if (lost.empty()) return true;
    session.ui.messageBox(
        formatText("Loading lost content of \"%S\":\n\n%S\nNothing was written: a batch run "
                   "never saves a document without what loading lost.",
                   document, joinedLines(lost)),
        "File not saved!", MessageIcon::error, MessageButtons::ok);
    for (const FileToSave& f : files) session.writes.failed.push_back(f.name);
    return false;
  }

  // The entries are lost when the document file is written; a short file when it is.
  if (!model.status.droppedOnLoad.empty() && inSet(files, document) &&
      !ask(session.ui,
           formatText("These embedded files could not be loaded:\n\n%S\nSaving writes \"%S\" "
                      "without them and their instances. Save anyway?",
                      joinedLines(model.status.droppedOnLoad), document),
           "Entries will be dropped!")) {
    return false;
  }
  std::vector<std::string> cut;
  for (const ShortFile& f : model.status.readShort) {
    if (inSet(files, f.name)) cut.push_back(f.name + ": " + f.detail);
  }
  return cut.empty() ||
         ask(session.ui,
             formatText("These files ended early when they were read:\n\n%S\nSaving writes only "
                        "what was read of them. Save anyway?",
                        joinedLines(cut)),
             "Content will be lost!");
}

bool saveAllOrNothing(Session& session, const std::vector<FileToSave>& files) {
  for (;;) {
    StagedFiles set;
    bool staged = true;
    for (const FileToSave& f : files) {
      if (!set.add(f.hostPath, f.name, f.bytes)) {
        staged = false;
        break;
      }
    }
    if (staged && set.commit()) {
      for (const FileToSave& f : files) session.writes.written.push_back(f.name);
      return true;
    }
    const auto failed = std::find_if(files.begin(), files.end(), [&](const FileToSave& f) {
      return f.name == set.failedName();
    });
    const FileToSave& shown = failed != files.end() ? *failed : files.front();
    const auto answer = session.ui.messageBox(
        formatText(shown.quoted ? "%S error when saving the following file...\n\n\"%S\""
                                : "%S error when saving the following file...\n\n%S",
                   set.error(), shown.shownName),
        "File not saved!", shown.icon, MessageButtons::retryCancel);
    if (answer != MessageAnswer::retry) {
      for (const FileToSave& f : files) session.writes.failed.push_back(f.name);
      return false;
    }
  }
}

}  // namespace tessarim
