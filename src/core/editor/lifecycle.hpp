#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tessarim {

struct Editor;
struct Model;
struct Session;

// Start-up before the window exists: settings, the repository folder as the current directory,
// the model reset and the command-line document's kind. False when the program must end (the
// message has been shown).
bool startEditor(Editor& editor, std::string_view commandLine);
// Start-up once the window exists: reads the command-line document and fills the recent lists.
void openStartupDocument(Editor& editor);

// The document or any loaded module has unsaved edits.
bool anythingModified(const Model& model);
// Asks to save the document. False when the user cancelled or the save failed: the caller then
// keeps the document as it is.
bool promptSave(Editor& editor);
// promptSave only when something is modified.
bool saveIfWanted(Editor& editor);

// Back to no document, keeping the document-kind flags.
void closeToEmpty(Editor& editor);
// Module 0's instances become one new instance at the origin with a new GUID.
void giveFreshInstance(Model& model);
// Reads module[index] again from its file, keeping its instances and file name.
bool reloadModule(Session& session, int index, bool interactive);
// The host path of a stored name: the name itself when absolute, else inside the repository.
std::string fullPath(const Editor& editor, std::string_view storedName);
// A host path chosen in a dialog, in stored form made repository-relative.
std::string relativeName(const Editor& editor, std::string_view hostPath);

// A single-mesh document: clears the document kind, reads `name` into module 0 (interactive).
bool readSingleMesh(Editor& editor, const std::string& name);
// After a single mesh was read: one fresh instance, statistics, textures to load, module and
// instance 0 current, no lights, no group or polygon.
void afterSingleMeshRead(Model& model);
// After Open read a document: a mesh as above; an assembly with no group current, a city with its
// ground (group 0); textures to load.
void afterDocumentOpened(Model& model);
// Reads the assembly or city named by `documentPath`: a file of the expected kind joins its
// recent list (even when reading it fails later on), and the title names what was read.
bool readDocumentFile(Editor& editor);
// readDocumentFile with `busy` set, so that the outside-change check stays quiet.
bool readDocumentWhileBusy(Editor& editor);

enum class ReadOutcome { read, refused, outOfMemory };
// Runs read, which reads a document (named shownName) in place of the open one. The open
// document is set aside first, with only the program's own state (repository, recent lists,
// settings and view options) carried over: read sets the new document's kind and path. When
// memory runs out on the way, the document that was open comes back whole and the user is told.
ReadOutcome readInPlace(Editor& editor, std::string_view shownName,
                        const std::function<bool()>& read);

// A recent-list entry was chosen (command ids 10000-12999). False when nothing was opened.
bool openRecent(Editor& editor, int commandId);

// The window is about to close: false keeps it open.
bool windowClosing(Editor& editor);
void focusChanged(Editor& editor, bool gained);
// The once-a-second bookkeeping: usage counters and, without focus, outside changes.
void timerTick(Editor& editor);
void checkOutsideChanges(Editor& editor);

}  // namespace tessarim
