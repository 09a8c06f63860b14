#pragma once

// Instance type codes (Instance::type) that the program treats specially, named after their
// INSTANCE menu items, and the families of codes it tests together.

namespace tessarim {

namespace instance_type {

// No type: turns about its own origin and has no motion extent.
inline constexpr int unassigned = 0;
// Interior transparency between the viewer and the exterior.
inline constexpr int betweenViewerAndExterior = 3;
inline constexpr int display2 = 4;  // flickers
inline constexpr int windshield = 5;
inline constexpr int mainWheel = 6;
// The farm menu's first item; the airfield menu's second item sets it too.
inline constexpr int farm1 = 8;
inline constexpr int noseWheel = 9;
inline constexpr int exteriorPlate = 24;
inline constexpr int indestructable = 25;
// Drawn into the glow target only ("Post Processing Test").
inline constexpr int glow = 27;
inline constexpr int scrollingLightMap = 40;
inline constexpr int hullMap = 42;  // the nameplate texture multiplies the colour
inline constexpr int scrollingColourMap = 45;
inline constexpr int mirror = 46;
inline constexpr int display3 = 51;  // additive
inline constexpr int noBoundingSphere = 53;
inline constexpr int cargoBay = 54;
inline constexpr int exteriorTransparency = 57;
inline constexpr int display6 = 58;  // flickers
inline constexpr int display7 = 59;  // lit in odd seconds
inline constexpr int display8 = 60;  // lit in even seconds
inline constexpr int skipForDaw = 86;
inline constexpr int placeholderSmall = 87;
inline constexpr int placeholderMedium = 88;
inline constexpr int placeholderLarge = 89;

// Body parts: twenty codes from the torso on, each joint hanging from its parent.
inline constexpr int torso = 100;
inline constexpr int head = 101;
inline constexpr int hips = 102;
inline constexpr int leftUpperArm = 103;
inline constexpr int rightUpperArm = 104;
inline constexpr int leftForearm = 105;
inline constexpr int rightForearm = 106;
inline constexpr int leftHand = 107;
inline constexpr int rightHand = 108;
inline constexpr int leftThigh = 109;
inline constexpr int rightThigh = 110;
inline constexpr int leftShin = 111;
inline constexpr int rightShin = 112;
inline constexpr int leftFoot = 113;
inline constexpr int rightFoot = 114;
inline constexpr int hipAccessory = 115;
inline constexpr int helmetGlass = 116;
inline constexpr int leftMonitor = 117;  // flickers
inline constexpr int firstBodyPart = torso;
inline constexpr int lastBodyPart = 119;
inline constexpr int bodyPartCount = lastBodyPart - firstBodyPart + 1;

inline constexpr int tumbler = 130;
inline constexpr int bigRing = 131;
inline constexpr int noBackfaceCulling = 250;
inline constexpr int display4 = 251;  // additive

}  // namespace instance_type

inline constexpr bool isBodyPart(int type) {
  return type >= instance_type::firstBodyPart && type <= instance_type::lastBodyPart;
}

// The people codes, body parts and the ten after them: drawn by the people shading.
inline constexpr bool isPeopleType(int type) {
  return type >= 100 && type <= 129;
}

// Vehicle controls held at a fixed pivot angle.
inline constexpr bool hasFixedPivot(int type) {
  return type >= 33 && type <= 36;
}

// An engine's accelerate or decelerate cone: 200, 205, ... 225; the nozzles between are not.
inline constexpr bool isThrustCone(int type) {
  return type >= 200 && type <= 225 && type % 5 == 0;
}

// Displays drawn added onto what is behind them, over any depth.
inline constexpr bool isAdditiveDisplay(int type) {
  return type == instance_type::display3 || type == instance_type::display4;
}

// Screens whose colour takes the flicker factor.
inline constexpr bool isFlickeringScreen(int type) {
  return type == instance_type::display2 || type == instance_type::display6 ||
         type == instance_type::leftMonitor;
}

// Displays whose light map blinks on a two-second cycle.
inline constexpr bool isBlinkingDisplay(int type) {
  return type == instance_type::display7 || type == instance_type::display8;
}

// Types that change on screen by themselves, so their instances keep the view drawing.
inline constexpr bool isFlickerType(int type) {
  return isFlickeringScreen(type) || isBlinkingDisplay(type) || isThrustCone(type);
}

// The see-through layers a vehicle draws after the rest, each at its own distance.
inline constexpr bool isLayeredGlass(int type) {
  return type == instance_type::betweenViewerAndExterior || type == instance_type::mainWheel ||
         type == instance_type::noseWheel;
}

// Skip for DAW and the three placeholders: the game places these itself.
inline constexpr bool isPlacedByGame(int type) {
  return type >= instance_type::skipForDaw && type <= instance_type::placeholderLarge;
}

}  // namespace tessarim
