#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "equipment/equipment_records.hpp"

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
};

// Parses the text of a component file (line ends as a text-mode read gives them) into the two
// lists, which it empties first. Sets documentModified when an older layout was upgraded; every
// message goes to the user through ui.
ComponentParseResult parseComponents(std::string_view text, std::vector<Connector>& connectors,
                                     std::vector<Component>& components, bool& documentModified,
                                     Ui& ui);

// Reads the component file of the assembly asmName into the model's lists. A missing file leaves
// them empty without a message. False only when a malformed GUID refuses the document.
bool readComponents(Session& session, std::string_view asmName);

// The bytes of the model's connectors and components in the current version, CR LF line ends.
std::string formatComponents(const Model& model);

// Writes the component file of the assembly asmName; Retry/Cancel on failure. The caller decides
// whether the document has anything to write. False when the user cancelled.
bool writeComponents(Session& session, std::string_view asmName);

}  // namespace tessarim
