#pragma once

#include <optional>
#include <string>

namespace tessarim {

struct Session;
struct Model;
class TextScanner;
class TextWriter;
class EarlyEnd;

// The rest of a city file after its "RTS" word, for file version v: street-network flag and
// model ID, ground grid, building names, street nodes. Builds the ground-grid module as the
// next module. Where the file ends early, `early` says what is missing.
void readCityGridSection(Session& session, TextScanner& in, float v, bool& modified,
                         EarlyEnd& early);

// Builds the ground-grid module as the next module of the table.
void addGroundGrid(Model& model);

// "RTS" and everything after it in the current version. The error text of the street-node
// graph when it cannot be written; nothing is written then.
std::optional<std::string> writeCitySection(const Model& model, TextWriter& out);

}  // namespace tessarim
