#pragma once

#include "model/records.hpp"

namespace tessarim {

class TextScanner;
class TextWriter;

// An assembly instance (lines A and B) of file version v, with the clean-up every instance gets
// on reading. False when the GUID the version carries is malformed.
bool readAssemblyInstance(TextScanner& in, float v, Instance& instance, bool& modified);
// A city instance line of file version v, with the city's angle and position snapping.
void readCityInstance(TextScanner& in, float v, Instance& instance, bool& modified);

void writeAssemblyInstance(TextWriter& out, const Instance& instance);
void writeCityInstance(TextWriter& out, const Instance& instance);

}  // namespace tessarim
