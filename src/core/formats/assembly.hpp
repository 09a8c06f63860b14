#pragma once

#include <string>
#include <string_view>

namespace tessarim {

struct Session;
struct Model;

inline constexpr float assemblyVersion = 2.51f;

// What a read learnt of the file, whether or not it was read whole.
struct DocumentReadInfo {
  bool recognised = false;  // of the kind expected (so it joins the recent list), even when
                            // reading it failed later on
  float version = 0;        // the version its header gave; 0 when no header was read
};

// Reads the assembly or city named by `documentPath` (the document kind tells which is
// expected), with every WLD file it lists and, for an assembly, its component file. False when
// the document was refused; it is then left closed (an empty document).
bool readAssembly(Session& session, DocumentReadInfo* info = nullptr);

// Adds the modules and instances of the assembly at hostPath to the open document. Merged
// instances get group 1000; the open document's own trailer values, components, connectors and
// lights stay. False when nothing was merged.
bool mergeAssembly(Session& session, std::string_view hostPath, DocumentReadInfo* info = nullptr);

// Writes the document to `documentPath` when it is modified, after the modified modules when
// saveModules is set. selectionOnly writes an assembly of the selected instances alone.
// True when everything that needed writing was written.
bool writeAssembly(Session& session, bool saveModules, bool selectionOnly);

struct AssemblyText {
  std::string bytes;
  std::string error;  // why the document cannot be written; bytes are empty then
};
// The bytes writeAssembly writes (a city's origin shift is applied to the model).
AssemblyText formatAssembly(Model& model, bool selectionOnly);

// Passes run after the module entries are read; each removal is reported and marks the document
// modified. Return the number of modules merged and instances removed.
int mergeDuplicateModules(Session& session);
int removeCollocatedInstances(Session& session);

}  // namespace tessarim
