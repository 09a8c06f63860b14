#pragma once

#include "maths/maths.hpp"
#include "maths/matrix.hpp"

namespace tessarim {

struct Model;

inline constexpr float pi = 3.14159265f;

// The viewer: zoom, scene rotation and pan of the 3D view, zoom and canvas pan of the texel
// view, and the matrices built from them each frame. World units are kilometres.
struct Camera {
  int zoomPosition = 3800;     // 600..4000; the start value shows a scene's whole extent
  int texelZoomPosition = 20;  // 0..1980; the start value shows a whole 2048-texel canvas
  float texelZoom = 0;         // distance of the texel view's eye
  float eyeDistance = 0;       // kilometres, the 3D view's eye
  Matrix sceneRotation = rotationZ(pi);
  float yaw = 0, pitch = 0, roll = 0;  // held angles, radians
  Vec3 pan, panStart, panTarget, dragPan;
  float transition = 1;  // 0..1: blends the pan from panStart to panTarget
  Vec3 groupCentre;      // kilometres: the centre of the browsed group or the auto-centred instance
  float canvasX = 0, canvasY = 0;           // texel view pan
  int graphHeight = 0;                      // model units along z of the graph paper
  float aspect = 4.0f / 3.0f;               // viewport width / height
  Viewport viewport{0, 0, 640, 480, 0, 1};  // the view's size in the pointer's pixels

  Matrix world = identityMatrix();
  Matrix view = identityMatrix();  // world x look-at: what the device takes as its view
  Matrix lookAt = identityMatrix();
  Matrix projection = identityMatrix();
  Vec3 direction{0, 0, 1};  // towards the eye, in scene (model) space
};

// Eye distance for a zoom position: position^8 x 6.103518e-29 x extent (4 x extent at 4000).
float eyeDistanceFor(int zoomPosition, float extent);
// Texel zoom for a position: 20 at 0, 0.2 at 1980.
float texelZoomFor(int position);

// Right-handed perspective of the viewport: vertical field pi/4, near 0.000064, far 64.
Matrix viewportProjection(float aspect);

// Puts the 3D view back to its start: the scene turned by pi about z, no held angles, no pan.
// In the texel view only the canvas pan is zeroed. The zoom stays.
void resetCamera(Camera& camera, bool texelView);

// Starts a one-second glide to the current instance when auto centering is on and an instance is
// current: the pan in effect becomes the start point and the instance's centre (kilometres) the
// group centre the pan target follows. Run when the selection changes.
void autoCentre(Camera& camera, const Model& model);

}  // namespace tessarim
