#pragma once

// The program's own shading programs (GLSL 3.30). Matrices arrive as row-vector matrices laid out
// row by row, which GLSL reads as their transpose: `m * v` is the row-vector product v x M.

namespace tessarim::shaders {

// Vertex inputs of every program: the RenderVertex elements, LineVertex uses 0 and 2.
// 0 position, 1 normal, 2 colour, 3 texel set 0, 4 texel set 1, 5 tangent, 6 binormal.

// Fixed-function stand-in: vertex colour and up to two texture stages modulated, or a constant
// texture factor; point sprites for lights.
extern const char* const fixedVertex;
extern const char* const fixedFragment;

// Main effect "TShader": one vertex program, one fragment program per pass P0..P4 (PASS is
// defined before the source).
extern const char* const mainVertex;
extern const char* const mainFragment;

// Post-process: full-screen quad, "RenderNoLight" (copy), "GaussianH", "GaussianV" (TECHNIQUE
// defined before the fragment source: 0, 1, 2).
extern const char* const postVertex;
extern const char* const postFragment;

// The vehicle program shipped with the editor; a studio's own replaces it from TempPath.
extern const char* const vehicleVertex;
extern const char* const vehicleFragment;

}  // namespace tessarim::shaders
