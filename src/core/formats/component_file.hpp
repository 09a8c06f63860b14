#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/file_io.hpp"
#include "model/equipment_records.hpp"

namespace tessarim {

struct Session;
struct Model;
class Ui;

inline constexpr float componentFileVersion = 1.06f;

// The component file beside an assembly: the stored-form ASM name with its last four characters
// (the extension) replaced by ".cmp".
std::string componentPath(std::string_view asmName);

enum class ComponentParseResult {
  ok,
  unsupportedVersion,  // reported; the lists stay empty, the document stays usable
  malformedGuid,       // reported; the lists are emptied and the document must be refused
  notComponentFile,    // text no component file holds: as malformedGuid
};

// Parses the text of a component file into the two lists, which it empties first. Sets
// documentModified when an older layout was upgraded; every message goes to the user through
// ui, naming the file as path. A file that ends before its last field is read as far as it goes
// (ok); what it lacks goes to endsEarly ("ends early: 1 of 2 connectors"), left empty when whole.
ComponentParseResult parseComponents(std::string_view text, std::vector<Connector>& connectors,
                                     std::vector<Component>& components, bool& documentModified,
                                     Ui& ui, std::string_view path = {},
                                     std::string* endsEarly = nullptr);
ComponentParseResult parseComponents(FileWindow& text, std::vector<Connector>& connectors,
                                     std::vector<Component>& components, bool& documentModified,
                                     Ui& ui, std::string_view path,
                                     std::string* endsEarly = nullptr);

// Reads the component file of the assembly asmName into the model's lists. A missing file leaves
// them empty without a message. False when the document must be refused (a malformed GUID, text
// no component file holds, a read that failed on the way). A file that ends early is noted under
// asmName, after what the assembly's own reading noted there.
bool readComponents(Session& session, std::string_view asmName);

// The bytes of the model's connectors and components in the current version, CR LF line ends.
std::string formatComponents(const Model& model);

}  // namespace tessarim
