#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// MOTION: hinges, end modes, skeletons and animation sequences. Each item's handler sits beside the
// rules that enable it and show its check mark.
bool setExtendedView(Editor& editor, const Command& command);
bool toggleEndMode(Editor& editor, const Command& command);
bool setSkeleton(Editor& editor, const Command& command);
bool setAgility(Editor& editor, const Command& command);
bool copySequence(Editor& editor, const Command& command);
bool canEditHinge(const MenuContext& context, const Command& command);
bool canSnapMotion(const MenuContext& context, const Command& command);
bool canClearMotion(const MenuContext& context, const Command& command);
bool animating(const MenuContext& context, const Command& command);
bool canPasteSequence(const MenuContext& context, const Command& command);
bool canSetEndMode(const MenuContext& context, const Command& command);
bool canExtendOrRetract(const MenuContext& context, const Command& command);
bool animationSlotIs(const MenuContext& context, const Command& command);
bool skeletonIs(const MenuContext& context, const Command& command);
bool agilityIs(const MenuContext& context, const Command& command);
bool extendedViewIs(const MenuContext& context, const Command& command);
bool endModeIs(const MenuContext& context, const Command& command);
// For an edit that measures the assembly: every motion at its retracted end. Returns the
// "Extended/Equipped" state to give back with restorePose once the edit is made.
bool retractPose(Editor& editor);
void restorePose(Editor& editor, bool extended);
// The current instance's hinge axis becomes the world normal of its polygon under the pointer;
// false when no polygon of it is there.
bool calculateNormal(Editor& editor, const Command& command);

}  // namespace tessarim
