#pragma once

#include <string>
#include <vector>

#include "platform/ui.hpp"

namespace tessarim {

struct Session;

// One file of a save: where it goes, the name the user knows it by, its bytes, and how its
// failure is told.
struct FileToSave {
  std::string hostPath;
  std::string name;  // stored form: what the write log records
  std::string bytes;
  std::string shownName;  // as the failure message names it
  bool quoted = false;    // the message puts the name in double quotes
  MessageIcon icon = MessageIcon::warning;
};

// Writes every file or none: all are written beside their targets first and then renamed into
// place; a rename that fails puts back the files already replaced. A failure is shown with
// Retry/Cancel ("... error when saving the following file..."), and Retry tries the whole set
// again. The session's write log records the set as written, or as failed when the user gave up.
bool saveAllOrNothing(Session& session, const std::vector<FileToSave>& files);

// Before files of the open document are saved: what loading lost of them (entries left out of
// the document file, files that ended early) would be lost for good. The user is asked about
// the files in `files`; a session nobody can answer refuses any save of a document that lost
// content, records the failure and says so. True when the save may go on.
bool confirmLostContent(Session& session, const std::vector<FileToSave>& files);

}  // namespace tessarim
