#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// REPOSITORY: git through the repository script. Each item's handler sits beside the rules that
// enable it and show its check mark.
bool documentInRepository(const MenuContext& context, const Command& command);

}  // namespace tessarim
