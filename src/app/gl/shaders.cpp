#include "gl/shaders.hpp"

namespace tessarim::shaders {

const char* const fixedVertex = R"(
layout(location = 0) in vec3 inPosition;
layout(location = 2) in vec4 inColour;
layout(location = 3) in vec2 inUv;
layout(location = 4) in vec2 inUv2;
uniform mat4 worldViewProj;
uniform vec4 uvTransform0;  // scale xy, offset zw
uniform vec4 uvTransform1;
uniform float pointSize;
out vec4 colour;
out vec2 uv0;
out vec2 uv1;
void main() {
  gl_Position = worldViewProj * vec4(inPosition, 1.0);
  colour = inColour;
  uv0 = inUv * uvTransform0.xy + uvTransform0.zw;
  uv1 = inUv2 * uvTransform1.xy + uvTransform1.zw;
  gl_PointSize = pointSize;
}
)";

// mode 0: vertex colour x stage 0 (when on) x stage 1 (when on); 1: the texture factor alone;
// 2: stage 0 alone; 3: stage 0's alpha as grey; 4: stage 0 x stage 1 alpha (detail with its
// control); 5: stage 0 blended over itself shifted by half in v by the factor's alpha (age);
// 6: point sprite: stage 0 at the sprite's coordinate x vertex colour.
const char* const fixedFragment = R"(
in vec4 colour;
in vec2 uv0;
in vec2 uv1;
uniform int mode;
uniform bool stage0;
uniform bool stage1;
uniform bool stage1SecondSet;
uniform vec4 factor;
uniform sampler2D texture0;
uniform sampler2D texture1;
out vec4 fragColour;
void main() {
  if (mode == 1) { fragColour = factor; return; }
  if (mode == 2) { fragColour = texture(texture0, stage1SecondSet ? uv1 : uv0); return; }
  if (mode == 3) { float a = texture(texture0, uv0).a; fragColour = vec4(a, a, a, 1.0); return; }
  if (mode == 4) { fragColour = vec4(texture(texture0, uv0).rgb, 1.0) * texture(texture1, uv1).a; return; }
  if (mode == 5) {
    vec4 young = texture(texture0, uv0);
    vec4 old = texture(texture0, uv0 + vec2(0.0, 0.5));
    fragColour = mix(young, old, factor.a) * colour;
    return;
  }
  if (mode == 6) { fragColour = texture(texture0, gl_PointCoord) * colour; return; }
  vec4 c = colour;
  if (stage0) c *= texture(texture0, uv0);
  if (stage1) c *= texture(texture1, stage1SecondSet ? uv1 : uv0);
  fragColour = c * factor;
}
)";

const char* const mainVertex = R"(
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec4 inColour;
layout(location = 3) in vec2 inUv;
layout(location = 4) in vec2 inUv2;
uniform mat4 matWorldViewProj;
uniform mat4 matWorld;
uniform vec4 Sunlight;
out vec3 light;      // position by matWorld: its length is the distance to the eye
out vec3 sun;        // sunlight term
out vec4 colour;
out vec2 uv;
out vec2 uv2;
void main() {
  gl_Position = matWorldViewProj * vec4(inPosition, 1.0);
  light = (matWorld * vec4(inPosition, 1.0)).xyz;
  vec3 normal = normalize(mat3(matWorld) * inNormal);
#if PASS == 4
  vec3 tint = vec3(0.96862745, 1.0, 0.94117647);
#else
  vec3 tint = vec3(0.825, 0.9125, 1.0);
#endif
  sun = clamp(dot(Sunlight.xyz, normal), 0.0, 1.0) * tint * Sunlight.w;
  colour = inColour;
  uv = inUv;
  uv2 = inUv2;
}
)";

const char* const mainFragment = R"(
in vec3 light;
in vec3 sun;
in vec4 colour;
in vec2 uv;
in vec2 uv2;
uniform vec4 SpotDir;
uniform vec4 clouduv;
uniform vec4 ambient;
uniform vec4 shiplight;
uniform vec4 Radiosity;
uniform vec4 Features;
uniform vec4 BlackAlpha;
uniform float Motion;
uniform sampler2D ColorMap;
uniform sampler2D ColorMap2;
uniform sampler2D CloudMap;
uniform sampler2D RoadsMap;
uniform sampler2D RoadsMap2;
uniform sampler2D AlphaMap;
uniform sampler3D ReentryMap;
uniform bool reentry;
out vec4 fragColour;

vec3 headlight(float d) {
  if (SpotDir.w == 0.0) return vec3(0.0);
  float spot = smoothstep(0.9, 0.995518, dot(SpotDir.xyz, light / d));
  float fall = clamp(1.0 - 2.5 * d, 0.0, 1.0);
  return vec3(1.0, 1.0, 0.75) * spot * fall * fall;
}

bool isType(int t, int a) { return t == a; }

void main() {
  float d = max(length(light), 1e-9);
#if PASS == 0
  vec4 base = texture(ColorMap, uv / 26.0);
  if (base.rgb == vec3(0.0)) base.rgb = vec3(0.396, 0.263, 0.129);
  vec3 lit = max(ambient.rgb, sun);
  vec4 day = Features.x != 0.0 ? texture(RoadsMap, uv) : vec4(0.0);
  vec3 night = texture(RoadsMap2, uv).rgb;
  fragColour = vec4(mix(base.rgb, day.rgb, day.a) * lit + (1.0 - lit) * night, 1.0);
#elif PASS == 1
  if (Features.y == 1.0) {
    vec4 c = texture(ColorMap, uv) * Features.z;
    fragColour = vec4(c.rgb * c.a + c.rgb * ambient.rgb * (1.0 - c.a), Features.x);
  } else if (ambient.w != 0.0) {
    fragColour = texture(ColorMap, uv);
  } else {
    vec4 youngClean = texture(ColorMap, uv);
    vec4 oldClean = texture(ColorMap, uv + vec2(0.0, 0.5));
    vec4 youngStubble = texture(ColorMap, uv + vec2(0.5, 0.0));
    vec4 oldStubble = texture(ColorMap, uv + vec2(0.5, 0.5));
    vec4 clean = mix(youngClean, oldClean, shiplight.w);
    vec4 stubble = mix(youngStubble, oldStubble, shiplight.w);
    vec4 c = mix(clean, stubble, Radiosity.w);
    float a = c.a * 255.0;
    vec3 tint;
    if (a < 85.0) tint = mix(Radiosity.rgb, shiplight.rgb, a / 85.0);
    else if (a < 170.0) tint = mix(shiplight.rgb, vec3(0.5), (a - 85.0) / 85.0);
    else tint = mix(vec3(0.5), ambient.rgb, (a - 170.0) / 85.0);
    fragColour = vec4(2.0 * tint * c.rgb, 1.0);
  }
#elif PASS == 2
  vec3 lit = max(ambient.rgb, sun);
  float near = clamp(1.0 - 5.0 * d, 0.0, 1.0);
  lit = max(lit, shiplight.rgb * near * near);
  lit = max(lit, headlight(d));
  vec2 shifted = vec2(uv.x + Motion, uv.y);
  vec4 day = texture(ColorMap, shifted);
  vec3 night = texture(ColorMap2, shifted).rgb;
  fragColour = vec4(day.rgb * lit + night * (1.0 - lit), day.a);
#elif PASS == 3
  fragColour = vec4(0.0, 0.0, 0.0, 1.0);
#else
  float near = clamp(1.0 - 5.0 * d, 0.0, 1.0);
  vec3 lit = max(shiplight.rgb * near * near, headlight(d));
  lit = max(max(lit, ambient.rgb), sun);
  int type = int(clouduv.w + 0.5);
  bool thrust = type >= 200 && type <= 225 && type % 5 == 0;
  bool glass = type == 3 || type == 5 || type == 6 || type == 9 || type == 57 || type == 116;
  vec4 base = texture(ColorMap, uv);
  vec3 c;
  float alpha = Features.x;
  if (clouduv.x == 1.0) {
    if (thrust) { fragColour = vec4(base.rgb * clouduv.z, base.a); return; }
    if (glass) { c = base.rgb; alpha = base.a; }
    else c = base.a <= 0.5 ? base.rgb * BlackAlpha.rgb : base.rgb;
  } else {
    c = colour.rgb;
    if (glass) alpha = colour.a;
  }
  if (type == 40) {
    c = texture(ColorMap2, vec2(uv.x + clouduv.y, uv.y)).rgb;
  } else if (type == 4 || type == 58 || type == 117) {
    c *= clouduv.z;
  } else {
    c *= lit;
    if (clouduv.y != 0.0) {
      if (type == 5) {
        vec3 night = reentry ? texture(ReentryMap, vec3(uv, clouduv.y)).rgb : texture(ColorMap2, uv).rgb;
        c = mix(night, c, base.a);
        alpha = 1.0;
      } else {
        vec3 night = texture(ColorMap2, uv).rgb;
        if (base.a <= 0.5) night *= BlackAlpha.rgb;
        c += night * (1.0 - lit);
      }
    }
  }
  if (type == 42) c *= texture(AlphaMap, uv).rgb;
  fragColour = vec4(c, alpha);
#endif
}
)";

const char* const postVertex = R"(
layout(location = 0) in vec2 inCorner;  // -1..1
out vec2 uv;
void main() {
  uv = inCorner * 0.5 + 0.5;
  gl_Position = vec4(inCorner, 0.0, 1.0);
}
)";

const char* const postFragment = R"(
in vec2 uv;
uniform vec2 tDim;
uniform sampler2D g_txSrcColor;
uniform sampler2D g_txScene;
out vec4 fragColour;
const float weights[13] = float[13](0.002216, 0.008764, 0.026995, 0.064759, 0.120985, 0.176033, 0.199471,
                                    0.176033, 0.120985, 0.064759, 0.026995, 0.008764, 0.002216);
void main() {
#if TECHNIQUE == 0
  fragColour = texture(g_txScene, uv);
#else
#if TECHNIQUE == 1
  vec2 step = vec2(1.0 / tDim.x, 0.0);
#else
  vec2 step = vec2(0.0, 1.0 / tDim.y);
#endif
  vec4 sum = vec4(0.0);
  for (int i = 0; i < 13; ++i) sum += texture(g_txSrcColor, uv + step * float(i - 6)) * weights[i];
  fragColour = sum;
#endif
}
)";

const char* const vehicleVertex = R"(
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec4 inColour;
layout(location = 3) in vec2 inUv;
layout(location = 4) in vec2 inUv2;
layout(location = 5) in vec3 inTangent;
layout(location = 6) in vec3 inBinormal;
uniform mat4 matWorldViewProj;
uniform mat4 matWorld;
uniform mat4 matInverseTranspose;
out vec3 worldPosition;
out vec3 normal;
out vec3 tangent;
out vec3 binormal;
out vec4 colour;
out vec2 uv;
out vec2 uv2;
void main() {
  gl_Position = matWorldViewProj * vec4(inPosition, 1.0);
  worldPosition = (matWorld * vec4(inPosition, 1.0)).xyz;
  normal = normalize(mat3(matInverseTranspose) * inNormal);
  tangent = normalize(mat3(matWorld) * inTangent + vec3(1e-12));
  binormal = normalize(mat3(matWorld) * inBinormal + vec3(1e-12));
  colour = inColour;
  uv = inUv;
  uv2 = inUv2;
}
)";

// flags: 0 reflectivity, 1 normal map, 2 base, 3 overlay, 4 light map, 5 detail with control,
// 6 detail.
const char* const vehicleFragment = R"(
in vec3 worldPosition;
in vec3 normal;
in vec3 tangent;
in vec3 binormal;
in vec4 colour;
in vec2 uv;
in vec2 uv2;
uniform vec4 vecCameraPosition;   // xyz eye, w wetness
uniform vec4 colAmbient;          // rgb ambient, w fog end
uniform vec4 colSunlight;
uniform vec4 vecSunlight;
uniform vec4 tDim;                // z grime
uniform bool flags[7];
uniform vec4 colInstance;         // rgb colour key, w type
uniform vec4 vecCameraDirectionWorld;
uniform sampler2D ReflectTexture;
uniform sampler2D HeightTexture;
uniform sampler2D ColorTexture;
uniform sampler2D OverlayTexture;
uniform sampler2D DiffuseTexture;
uniform sampler2D VisibleTexture;
uniform sampler2D GrimeTexture;
uniform sampler2D DetailAlpha;
uniform sampler2D DetailTexture;
out vec4 fragColour;
void main() {
  vec3 n = normalize(normal);
  if (flags[1]) {
    vec3 t = texture(HeightTexture, uv).xyz * 2.0 - 1.0;
    n = normalize(tangent * t.x + binormal * t.y + n * t.z);
  }
  vec4 base = flags[2] ? texture(ColorTexture, uv) : colour;
  vec3 c = base.rgb * colInstance.rgb;
  if (flags[3]) {
    vec4 overlay = texture(OverlayTexture, uv2);
    c = mix(c, overlay.rgb, overlay.a);
  }
  if (flags[6]) {
    float detail = texture(DetailTexture, uv * 4.0).r * 2.0;
    float amount = flags[5] ? texture(DetailAlpha, uv).a : 1.0;
    c *= mix(1.0, detail, amount);
  }
  if (tDim.z > 0.0) c *= 1.0 - tDim.z * (1.0 - texture(GrimeTexture, uv).r);
  float sun = max(dot(normalize(vecSunlight.xyz), n), 0.0);
  vec3 lit = max(colAmbient.rgb * 0.35, vec3(0.0)) + colSunlight.rgb * sun;
  if (colSunlight.rgb == vec3(0.0)) lit = max(vec3(sun), vec3(0.35)) * colAmbient.rgb;
  vec3 result = c * lit;
  if (flags[0]) {
    float shine = texture(ReflectTexture, uv).r;
    vec3 toEye = normalize(vecCameraPosition.xyz - worldPosition);
    float glint = pow(max(dot(reflect(-normalize(vecSunlight.xyz), n), toEye), 0.0), 24.0);
    result += shine * (glint + vecCameraPosition.w * 0.02) * vec3(1.0);
  }
  if (flags[4]) result += texture(DiffuseTexture, uv).rgb * (1.0 - clamp(lit, 0.0, 1.0));
  float alpha = base.a;
  if (flags[2] && vecCameraDirectionWorld.w == 0.0 && colInstance.w != 5.0) alpha = 1.0;
  fragColour = vec4(result, alpha);
}
)";

}  // namespace tessarim::shaders
