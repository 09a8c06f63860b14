#include "editing/editing_state.hpp"

#include <gtest/gtest.h>

namespace tessarim {
namespace {

TEST(EntrySlide, RisesOverAFifthOfASecondWhileAnEntryRunsAndDropsWhenItEnds) {
  EditingState editing;
  editing.entryActive = true;
  advanceEntrySlide(editing, 0.1f);
  EXPECT_FLOAT_EQ(editing.entrySlide, 0.5f);
  advanceEntrySlide(editing, 0.5f);
  EXPECT_EQ(editing.entrySlide, 1.0f);
  editing.entryActive = false;
  advanceEntrySlide(editing, 0.01f);
  EXPECT_EQ(editing.entrySlide, 0.0f);
}

}  // namespace
}  // namespace tessarim
