#pragma once

#include <optional>

#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "model/guid.hpp"

namespace tessarim {

// Uppercase "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", the form the studio's files use.
std::string formatGuid(const Guid& guid);

// Reads a GUID with "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X ,"; nothing unless all 11
// values were read.
std::optional<Guid> readGuid(TextScanner& in);

// Writes "%08lX-%04hX-%04hX-%02hhX%02hhX-%02hhX%02hhX%02hhX%02hhX%02hhX%02hhX ,".
void writeGuid(TextWriter& out, const Guid& guid);

}  // namespace tessarim
