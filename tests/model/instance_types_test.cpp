#include "model/instance_types.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tessarim {
namespace {

struct Predicate {
  const char* name;
  bool (*test)(int);
};

constexpr Predicate predicates[] = {
    {"bodyPart", isBodyPart},
    {"people", isPeopleType},
    {"fixedPivot", hasFixedPivot},
    {"thrustCone", isThrustCone},
    {"additiveDisplay", isAdditiveDisplay},
    {"flickeringScreen", isFlickeringScreen},
    {"blinkingDisplay", isBlinkingDisplay},
    {"flicker", isFlickerType},
    {"layeredGlass", isLayeredGlass},
    {"placedByGame", isPlacedByGame},
};

// Each code with the predicates that hold for it; every other predicate must not.
struct Case {
  int type;
  std::set<std::string> holds;
};

TEST(InstanceTypes, EachPredicateHoldsForItsCodesOnly) {
  const Case cases[] = {
      {0, {}},
      {2, {}},
      {3, {"layeredGlass"}},
      {4, {"flickeringScreen", "flicker"}},
      {5, {}},
      {6, {"layeredGlass"}},
      {7, {}},
      {9, {"layeredGlass"}},
      {32, {}},
      {33, {"fixedPivot"}},
      {36, {"fixedPivot"}},
      {37, {}},
      {50, {}},
      {51, {"additiveDisplay"}},
      {52, {}},
      {57, {}},
      {58, {"flickeringScreen", "flicker"}},
      {59, {"blinkingDisplay", "flicker"}},
      {60, {"blinkingDisplay", "flicker"}},
      {61, {}},
      {85, {}},
      {86, {"placedByGame"}},
      {89, {"placedByGame"}},
      {90, {}},
      {99, {}},
      {100, {"bodyPart", "people"}},
      {116, {"bodyPart", "people"}},
      {117, {"bodyPart", "people", "flickeringScreen", "flicker"}},
      {119, {"bodyPart", "people"}},
      {120, {"people"}},
      {129, {"people"}},
      {130, {}},
      {195, {}},
      {199, {}},
      {200, {"thrustCone", "flicker"}},
      {201, {}},
      {204, {}},
      {215, {"thrustCone", "flicker"}},
      {225, {"thrustCone", "flicker"}},
      {226, {}},
      {230, {}},
      {250, {}},
      {251, {"additiveDisplay"}},
      {255, {}},
  };
  for (const Case& c : cases) {
    for (const Predicate& p : predicates) {
      EXPECT_EQ(p.test(c.type), c.holds.count(p.name) == 1) << p.name << "(" << c.type << ")";
    }
  }
}

}  // namespace
}  // namespace tessarim
