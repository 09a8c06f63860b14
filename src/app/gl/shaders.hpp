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

// The vehicle program shipped with the editor. A studio's own replaces it when the TempPath
// folder holds "VehicleShader.glsl": one GLSL 3.30 file holding both stages, compiled once with
// VERTEX and once with FRAGMENT defined (no #version line; the editor puts it first). Inputs are
// the vertex elements above (locations 0..6). Uniforms it may declare, by name:
//   mat4 matWorldViewProj, matWorld, matInverseTranspose;
//   vec4 vecCameraPosition (xyz eye in world space, w wetness), colAmbient (rgb, w fog end),
//        colSunlight, vecSunlight, tDim (z grime), colInstance (rgb colour key, w type),
//        vecCameraDirectionWorld (w 1 for glass types 3, 6 and 9);
//   bool flags[7] (reflectivity, normal map, base, overlay, light map, detail with control,
//        detail);
//   sampler2D ReflectTexture, HeightTexture (the computed normal map), ColorTexture,
//        OverlayTexture, DiffuseTexture, VisibleTexture, GrimeTexture, DetailAlpha, DetailTexture.
// A file that does not compile is reported once and this program draws instead.
extern const char* const vehicleVertex;
extern const char* const vehicleFragment;

}  // namespace tessarim::shaders
