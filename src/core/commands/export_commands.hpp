#pragma once

namespace tessarim {

struct Editor;
struct Command;

// FILE, Export, "&DAW or DAW/DIX set": the runtime set of the document.
bool exportRuntimeSetCommand(Editor& editor, const Command& command);

}  // namespace tessarim
