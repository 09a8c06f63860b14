#pragma once

#include <optional>
#include <string>

#include "model/rts_graph.hpp"

namespace tessarim {

class TextScanner;
class TextWriter;
class Ui;
class EarlyEnd;

// Reads the street-node section of a city file of the given version from the scanner's
// position, replacing the graph's nodes (ids keep counting). Problems are reported through ui
// and never stop the city from loading. Where the section ends early, `early` (when given) says
// what is missing; a node or link the file ends inside is not kept.
void readNodeSection(RtsGraph& graph, TextScanner& in, float version, Ui& ui,
                     EarlyEnd* early = nullptr);

// Writes the section in the current version. When a link names a node the graph does not hold,
// nothing is written and the error text is returned, so the caller can refuse to save.
std::optional<std::string> writeNodeSection(const RtsGraph& graph, TextWriter& out);

}  // namespace tessarim
