#include "gl/scene_renderer.hpp"

#include <QFile>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <utility>

#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "gl/shaders.hpp"
#include "maths/maths.hpp"
#include "model/instance_types.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/scale_class.hpp"
#include "scene/geometry_builder.hpp"

namespace tessarim {
namespace {

// Where the last build put the polygon in its instance's run; 0 for one added since (it is drawn
// after the next build).
GLint polygonRunStart(const SceneGeometry& scene, int module, std::size_t polygon) {
  const std::vector<PolygonShading>& built = scene.polygons[module];
  return polygon < built.size() ? static_cast<GLint>(built[polygon].firstVertex) : 0;
}

// The device's perspective maps depth to 0..1; GL clips -1..1: z' = 2z - w.
constexpr Matrix depthToGl{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 2, 0}, {0, 0, -1, 1}}};

Float4 factorOf(std::uint32_t argb) {
  return {static_cast<float>((argb >> 16) & 0xFF) / 255,
          static_cast<float>((argb >> 8) & 0xFF) / 255, static_cast<float>(argb & 0xFF) / 255,
          static_cast<float>(argb >> 24) / 255};
}

Float4 grey(float g) {
  return {g, g, g, g};
}

void renderVertexLayout(QOpenGLFunctions_3_3_Core& gl) {
  const GLsizei stride = sizeof(RenderVertex);
  auto at = [](std::size_t offset) { return reinterpret_cast<const void*>(offset); };
  gl.glEnableVertexAttribArray(0);
  gl.glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, x)));
  gl.glEnableVertexAttribArray(1);
  gl.glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, nx)));
  gl.glEnableVertexAttribArray(2);
  // ARGB in a little-endian word is B, G, R, A in memory: the BGRA size reads it as RGBA.
  gl.glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           at(offsetof(RenderVertex, colour)));
  gl.glEnableVertexAttribArray(3);
  gl.glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, u)));
  gl.glEnableVertexAttribArray(4);
  gl.glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, u2)));
  gl.glEnableVertexAttribArray(5);
  gl.glVertexAttribPointer(5, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, tx)));
  gl.glEnableVertexAttribArray(6);
  gl.glVertexAttribPointer(6, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(RenderVertex, bx)));
}

void lineVertexLayout(QOpenGLFunctions_3_3_Core& gl) {
  const GLsizei stride = sizeof(LineVertex);
  gl.glEnableVertexAttribArray(0);
  gl.glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<const void*>(offsetof(LineVertex, x)));
  gl.glEnableVertexAttribArray(2);
  gl.glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           reinterpret_cast<const void*>(offsetof(LineVertex, colour)));
}

// Unit sphere, 17 slices by 17 stacks, as a triangle list.
std::vector<RenderVertex> sphereMesh() {
  constexpr int slices = 17, stacks = 17;
  auto point = [](int stack, int slice) {
    const float theta = pi * static_cast<float>(stack) / stacks,
                phi = 2 * pi * static_cast<float>(slice) / slices;
    const float x = std::sin(theta) * std::cos(phi), y = std::sin(theta) * std::sin(phi),
                z = std::cos(theta);
    return RenderVertex{x, y, z, x, y, z, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  };
  std::vector<RenderVertex> out;
  for (int st = 0; st < stacks; ++st) {
    for (int sl = 0; sl < slices; ++sl) {
      const RenderVertex a = point(st, sl), b = point(st + 1, sl), c = point(st + 1, sl + 1),
                         d = point(st, sl + 1);
      out.insert(out.end(), {a, b, c, c, d, a});
    }
  }
  return out;
}

// The light flare: white, alpha falling off from the centre.
RgbaImage flareImage() {
  RgbaImage image{64, 64, std::vector<std::uint8_t>(64 * 64 * 4)};
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const float dx = (static_cast<float>(x) - 31.5f) / 31.5f,
                  dy = (static_cast<float>(y) - 31.5f) / 31.5f;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float a = std::clamp(1 - r, 0.0f, 1.0f);
      std::uint8_t* p = &image.pixels[(y * 64 + x) * 4];
      p[0] = p[1] = p[2] = 255;
      p[3] = static_cast<std::uint8_t>(a * a * 255);
    }
  }
  return image;
}

// One graph-paper cell: dark, with a light line along two edges (the neighbours give the others).
RgbaImage gridImage() {
  RgbaImage image{32, 32, std::vector<std::uint8_t>(32 * 32 * 4)};
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      std::uint8_t* p = &image.pixels[(y * 32 + x) * 4];
      const bool line = x == 0 || y == 0;
      p[0] = p[1] = p[2] = line ? 200 : 0;
      p[3] = 255;
    }
  }
  return image;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

SceneRenderer::SceneRenderer() = default;
SceneRenderer::~SceneRenderer() = default;

GLuint SceneRenderer::compile(const std::string& name, const char* vertexSource,
                              const char* fragmentSource, const std::string& defines) {
  const std::string header = "#version 330 core\n" + defines;
  auto stage = [&](GLenum type, const char* source) -> GLuint {
    const GLuint shader = glCreateShader(type);
    const char* parts[2] = {header.c_str(), source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[1024] = {};
      glGetShaderInfoLog(shader, sizeof log, nullptr, log);
      problems_.push_back("The shading program \"" + name +
                          "\" does not compile; it is left out.\n\n" + log);
      glDeleteShader(shader);
      return 0;
    }
    return shader;
  };
  // One report per program: the fragment stage is not tried after the vertex stage failed.
  const GLuint vs = stage(GL_VERTEX_SHADER, vertexSource);
  if (vs == 0) return 0;
  const GLuint fs = stage(GL_FRAGMENT_SHADER, fragmentSource);
  if (fs == 0) {
    glDeleteShader(vs);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    problems_.push_back("The shading program \"" + name + "\" does not link; it is left out.\n\n" +
                        log);
    glDeleteProgram(program);
    return 0;
  }
  return program;
}

GLuint SceneRenderer::mainProgram(int pass) {
  if (!mainTried_[pass]) {
    mainTried_[pass] = true;
    main_[pass] = compile("TShader P" + std::to_string(pass), shaders::mainVertex,
                          shaders::mainFragment, "#define PASS " + std::to_string(pass) + "\n");
  }
  return main_[pass];
}

GLuint SceneRenderer::postProgram(int technique) {
  static const char* const techniques[3] = {"RenderNoLight", "GaussianH", "GaussianV"};
  if (!postTried_[technique]) {
    postTried_[technique] = true;
    post_[technique] = compile(techniques[technique], shaders::postVertex, shaders::postFragment,
                               "#define TECHNIQUE " + std::to_string(technique) + "\n");
  }
  return post_[technique];
}

GLuint SceneRenderer::vehicleProgram() {
  if (vehicleTried_) return vehicle_;
  vehicleTried_ = true;
  // The studio's own vehicle program, when TempPath holds one: both stages in one file, each
  // compiled with VERTEX or FRAGMENT defined.
  vehicleFromFile_ = false;
  if (!studioVehicle_.empty()) {
    const std::string vertexSource = "#define VERTEX\n" + studioVehicle_,
                      fragmentSource = "#define FRAGMENT\n" + studioVehicle_;
    vehicle_ = compile("VehicleShader.glsl", vertexSource.c_str(), fragmentSource.c_str(), "");
    vehicleFromFile_ = vehicle_ != 0;
  }
  if (vehicle_ == 0)
    vehicle_ = compile("Vehicles", shaders::vehicleVertex, shaders::vehicleFragment, "");
  return vehicle_;
}

void SceneRenderer::create(const std::string& tempPath) {
  initializeOpenGLFunctions();
  rendererName_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  QOpenGLFunctions_3_3_Core& functions = *this;
  textures_ = std::make_unique<GlTextureStore>(functions);

  glGenVertexArrays(1, &sceneVao_);
  glGenBuffers(1, &sceneVbo_);
  glBindVertexArray(sceneVao_);
  glBindBuffer(GL_ARRAY_BUFFER, sceneVbo_);
  renderVertexLayout(*this);

  glGenVertexArrays(1, &quadVao_);
  glGenBuffers(1, &quadVbo_);
  glBindVertexArray(quadVao_);
  glBindBuffer(GL_ARRAY_BUFFER, quadVbo_);
  glBufferData(GL_ARRAY_BUFFER, 20 * sizeof(RenderVertex), nullptr, GL_DYNAMIC_DRAW);
  // Vertices 12..17: the graph paper, -500..500 with texels 0..1000, for the device's life.
  const RenderVertex corner[4] = {
      {-500, -500, 0, 0, 0, 1, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {500, -500, 0, 0, 0, 1, 0xFFFFFFFF, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {500, 500, 0, 0, 0, 1, 0xFFFFFFFF, 1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0},
      {-500, 500, 0, 0, 0, 1, 0xFFFFFFFF, 0, 1000, 0, 0, 0, 0, 0, 0, 0, 0}};
  const RenderVertex quad[6] = {corner[0], corner[1], corner[2], corner[2], corner[3], corner[0]};
  glBufferSubData(GL_ARRAY_BUFFER, 12 * sizeof(RenderVertex), sizeof quad, quad);
  renderVertexLayout(*this);

  const std::vector<RenderVertex> sphere = sphereMesh();
  sphereVertices_ = static_cast<GLsizei>(sphere.size());
  glGenVertexArrays(1, &sphereVao_);
  glGenBuffers(1, &sphereVbo_);
  glBindVertexArray(sphereVao_);
  glBindBuffer(GL_ARRAY_BUFFER, sphereVbo_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sphere.size() * sizeof(RenderVertex)),
               sphere.data(), GL_STATIC_DRAW);
  renderVertexLayout(*this);

  for (auto [vao, vbo] : {std::pair{&lineVao_, &lineVbo_}, std::pair{&spriteVao_, &spriteVbo_}}) {
    glGenVertexArrays(1, vao);
    glGenBuffers(1, vbo);
    glBindVertexArray(*vao);
    glBindBuffer(GL_ARRAY_BUFFER, *vbo);
    lineVertexLayout(*this);
  }
  glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
  glBufferData(GL_ARRAY_BUFFER, 255 * sizeof(LineVertex), nullptr, GL_DYNAMIC_DRAW);

  const float corners[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
  glGenVertexArrays(1, &screenVao_);
  glGenBuffers(1, &screenVbo_);
  glBindVertexArray(screenVao_);
  glBindBuffer(GL_ARRAY_BUFFER, screenVbo_);
  glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(0);

  fixed_ = compile("fixed", shaders::fixedVertex, shaders::fixedFragment, "");
  // The other programs are compiled when first drawn with: a software renderer spends a good
  // part of the start-up on programs the document may never use.
  mainTried_ = {};
  postTried_ = {};
  vehicleTried_ = false;
  studioVehicle_ = readText(tempPath + "/VehicleShader.glsl");

  const RgbaImage whitePixel{1, 1, {255, 255, 255, 255}}, blackPixel{1, 1, {0, 0, 0, 255}};
  white_ = makeTexture(*this, whitePixel, false);
  black_ = makeTexture(*this, blackPixel, false);
  flare_ = makeTexture(*this, flareImage(), true);
  grid_ = makeTexture(*this, gridImage(), true);
  created_ = true;
}

void SceneRenderer::reset(int width, int height, GLuint targetFramebuffer) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  targetFbo_ = targetFramebuffer;
  multisample_.release(*this);  // made again at the new size when next drawn with
  for (int k = 0; k < 2; ++k) {
    if (glowTexture_[k] == 0) glGenTextures(1, &glowTexture_[k]);
    if (glowFbo_[k] == 0) glGenFramebuffers(1, &glowFbo_[k]);
    glBindTexture(GL_TEXTURE_2D, glowTexture_[k]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindFramebuffer(GL_FRAMEBUFFER, glowFbo_[k]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, glowTexture_[k], 0);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, targetFbo_);
}

void SceneRenderer::destroy() {
  if (!created_) return;
  GLuint buffers[] = {sceneVbo_, lineVbo_, spriteVbo_, quadVbo_, sphereVbo_, screenVbo_};
  glDeleteBuffers(6, buffers);
  GLuint arrays[] = {sceneVao_, lineVao_, spriteVao_, quadVao_, sphereVao_, screenVao_};
  glDeleteVertexArrays(6, arrays);
  for (GLuint& p : main_) glDeleteProgram(std::exchange(p, 0));
  for (GLuint& p : post_) glDeleteProgram(std::exchange(p, 0));
  glDeleteProgram(std::exchange(fixed_, 0));
  glDeleteProgram(std::exchange(vehicle_, 0));
  GLuint textures[] = {white_, black_, flare_, grid_, glowTexture_[0], glowTexture_[1], reentry_};
  glDeleteTextures(7, textures);
  reentry_ = 0;
  reentryTried_ = false;
  glDeleteFramebuffers(2, glowFbo_);
  multisample_.destroy(*this);
  glowFbo_[0] = glowFbo_[1] = glowTexture_[0] = glowTexture_[1] = 0;
  for (int m = 0; m < maxModules; ++m) {
    for (int slot = 0; slot <= normalMapSlot; ++slot) textures_->release(m, slot);
  }
  for (int k = 0; k < sceneTextureCount; ++k) textures_->releaseScene(static_cast<SceneTexture>(k));
  textures_->releasePieces();
  names_ = TextureNames{};
  uploadedScene_ = uploadedLines_ = ~0ull;
  sceneCapacity_ = lineCapacity_ = 0;
  created_ = false;
}

void SceneRenderer::setMatrix(GLuint program, const char* name, const Matrix& m) {
  glUniformMatrix4fv(uniform(program, name), 1, GL_FALSE, &m[0][0]);
}

void SceneRenderer::setVec4(GLuint program, const char* name, const Float4& v) {
  glUniform4f(uniform(program, name), v[0], v[1], v[2], v[3]);
}

void SceneRenderer::bindTexture(int unit, GLuint texture, GLenum target) {
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(target, texture);
}

void SceneRenderer::useFixed(const Matrix& wvp, int mode, const Float4& factor, bool stage0,
                             bool stage1) {
  glUseProgram(fixed_);
  setMatrix(fixed_, "worldViewProj", wvp);
  glUniform1i(uniform(fixed_, "mode"), mode);
  setVec4(fixed_, "factor", factor);
  glUniform1i(uniform(fixed_, "stage0"), stage0);
  glUniform1i(uniform(fixed_, "stage1"), stage1);
  glUniform1i(uniform(fixed_, "stage1SecondSet"), 0);
  glUniform1i(uniform(fixed_, "texture0"), 0);
  glUniform1i(uniform(fixed_, "texture1"), 1);
  setVec4(fixed_, "uvTransform0", {1, 1, 0, 0});
  setVec4(fixed_, "uvTransform1", {1, 1, 0, 0});
  glUniform1f(uniform(fixed_, "pointSize"), 1);
}

void SceneRenderer::drawRange(GLint first, GLsizei count, GLenum mode) {
  if (count > 0) glDrawArrays(mode, first, count);
}

// Uploads only what changed since the last frame: the scene after a rebuild, the lines after
// theirs. The buffers grow to the largest scene seen and are refilled in place.
void SceneRenderer::uploadScene(Editor& editor) {
  const FrameState& f = editor.frame;
  const SceneGeometry& scene = editor.scene;
  if (uploadedScene_ != f.sceneRevision) {
    glBindBuffer(GL_ARRAY_BUFFER, sceneVbo_);
    const std::size_t bytes = scene.vertices.size() * sizeof(RenderVertex);
    if (bytes > sceneCapacity_) {
      sceneCapacity_ = bytes + bytes / 4;
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sceneCapacity_), nullptr,
                   GL_DYNAMIC_DRAW);
    }
    if (bytes > 0)
      glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), scene.vertices.data());
    if (scene.hasCanvasQuad) {
      glBindBuffer(GL_ARRAY_BUFFER, quadVbo_);
      glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof scene.canvasQuad, scene.canvasQuad.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
    const std::size_t sprites = std::min<std::size_t>(scene.lightSprites.size(), 255);
    if (sprites > 0)
      glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(sprites * sizeof(LineVertex)),
                      scene.lightSprites.data());
  }
  if (uploadedScene_ != f.sceneRevision || uploadedLines_ != f.lineRevision) {
    lineStaging_.clear();
    for (int m = 0; m < maxModules; ++m) {
      normalFirst_[m] = static_cast<GLint>(lineStaging_.size());
      normalCount_[m] = static_cast<GLsizei>(scene.normalLines[m].size());
      lineStaging_.insert(lineStaging_.end(), scene.normalLines[m].begin(),
                          scene.normalLines[m].end());
    }
    lineListFirst_ = static_cast<GLint>(lineStaging_.size());
    lineStaging_.insert(lineStaging_.end(), f.lineList.begin(), f.lineList.end());
    connectorFirst_ = static_cast<GLint>(lineStaging_.size());
    lineStaging_.insert(lineStaging_.end(), f.connectorLines.begin(), f.connectorLines.end());
    glBindBuffer(GL_ARRAY_BUFFER, lineVbo_);
    const std::size_t bytes = lineStaging_.size() * sizeof(LineVertex);
    if (bytes > lineCapacity_) {
      lineCapacity_ = bytes + bytes / 4;
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(lineCapacity_), nullptr,
                   GL_DYNAMIC_DRAW);
    }
    if (bytes > 0)
      glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), lineStaging_.data());
    uploadedLines_ = f.lineRevision;
  }
  uploadedScene_ = f.sceneRevision;
}

void SceneRenderer::render(Editor& editor) {
  Model& model = editor.model();
  FrameState& f = editor.frame;
  ViewOptions& view = model.settings.view;
  glViewport(0, 0, width_, height_);
  projection_ = multiply(f.camera.projection, depthToGl);

  if (view.releaseTextures || textures_->mipmaps != view.mipFiltering) {
    releaseAllTextures(f, names_, *textures_);
    textures_->mipmaps = view.mipFiltering;
    view.releaseTextures = false;
    noteChanges(model, Change::textures);
    reentryTried_ = false;
  }
  loadMissingTextures(editor, names_, *textures_);
  loadReentry(editor);
  uploadScene(editor);

  const auto rgba = clearColour(editor.user.backgroundColor, f.ambient);
  // Multisampling costs four samples a pixel on a software renderer, so the frame only goes
  // through the multisampled buffer while both settings ask for it.
  const bool wantSamples = view.productionLighting && view.lightingSliders;
  const bool multisampled = wantSamples && multisample_.bind(*this, width_, height_, problems_);
  // A buffer that failed was deleted while bound, which leaves the context's own bound.
  if (wantSamples && !multisampled) glBindFramebuffer(GL_FRAMEBUFFER, targetFbo_);
  glClearColor(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glDepthMask(GL_TRUE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_PROGRAM_POINT_SIZE);
  // The device culls triangles that turn counter-clockwise as seen on the screen; GL judges the
  // same turn, so clockwise triangles are GL's front faces.
  glFrontFace(GL_CW);
  glCullFace(GL_BACK);
  advanceFlicker(f, f.lastElapsed);

  if (view.texelView) {
    drawTexelView(editor);
  } else {
    drawScene(editor);
    drawOverlays(editor);
  }
  drawLights(editor);
  // Resolved before the glow: its composite is a screen-filling quad that gives every sample of
  // a pixel the same colour, so blending over the averaged pixel is the same picture at a
  // quarter of the work, and the glow pass needs nothing of the scene's depth.
  if (multisampled) multisample_.resolve(*this, targetFbo_);
  if (!view.texelView) drawGlow(editor);

  glBindVertexArray(0);
  glUseProgram(0);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glActiveTexture(GL_TEXTURE0);
}

// The reentry volume (512 x 512 x 64 in the studio's repository) is 64 MB on the device, so it is
// read when the effect is first switched on rather than with every document. A file that is
// missing or unreadable leaves the windshields with their light maps; it is tried once until the
// textures are released.
void SceneRenderer::loadReentry(Editor& editor) {
  if (reentryTried_ || reentry_ != 0 || !editor.model().settings.view.reentryEffect) return;
  reentryTried_ = true;
  const auto volume =
      decodeVolumeFile(resolvePath(editor.session.repository, "Aerospace Vehicles\\Reentry.dds"));
  if (volume) reentry_ = makeVolumeTexture(*this, *volume);
}

void SceneRenderer::drawScene(Editor& editor) {
  const Model& model = editor.model();
  drawOrder(model, editor.frame.sceneExtent, order_);
  sortedSelection(model.selection, selectedKeys_);
  glBindVertexArray(sceneVao_);
  for (const DrawItem& item : order_) drawInstance(editor, item.module, item.instance);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void SceneRenderer::drawInstance(Editor& editor, int m, int i) {
  Model& model = editor.model();
  const FrameState& f = editor.frame;
  // Until its first use the vehicle program is taken to work; a failure then is reported once
  // and later frames draw those instances the other way.
  const DrawContext context{f, editor.user, !vehicleTried_ || vehicle_ != 0, &selectedKeys_};
  const InstanceDrawPlan plan = planInstance(model, context, m, i);
  if (!plan.visible) return;
  const Module& module = model.document.module[m];
  const Instance& t = module.instances[i];
  const InstanceRun run = instanceRun(editor.scene, m, static_cast<std::size_t>(i));
  const GLint first = run.firstSceneVertex;
  const GLsizei count = run.triangleCount * 3;
  const Matrix wvp = multiply(multiply(t.worldMatrix, f.camera.view), projection_);
  glBindVertexArray(sceneVao_);
  if (plan.cull) {
    glEnable(GL_CULL_FACE);
  } else {
    glDisable(GL_CULL_FACE);
  }

  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  const float g = 0.4f + 0.6f * f.blink;
  if (!plan.highlightPolygons.empty()) {
    useFixed(wvp, 1, grey(g));
    for (int p : plan.highlightPolygons) {
      if (p < 0 || static_cast<std::size_t>(p) >= module.polygons.size()) continue;
      const Polygon& polygon = module.polygons[p];
      drawRange(first + polygonRunStart(editor.scene, m, static_cast<std::size_t>(p)),
                polygon.sides == 4 ? 6 : 3);
    }
  } else if (plan.highlightWhole) {
    useFixed(wvp, 1, grey(g));
    drawRange(first, count);
  }
  if (plan.wireframeOnly) {
    if (plan.pulseWireframe) {
      useFixed(wvp, 1, pulseColour(f.blink));
    } else {
      useFixed(wvp, 0, {1, 1, 1, 1});
    }
    drawRange(first, count);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    return;
  }
  if (plan.pulseWireframe) {
    useFixed(wvp, 1, pulseColour(f.blink));
    drawRange(first, count);
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  if (plan.blend != Blend::none) {
    glEnable(GL_BLEND);
    if (plan.blend == Blend::alpha) {
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glBlendFunc(GL_SRC_COLOR, GL_ONE);
    }
  }
  if (plan.depthAlways) glDepthFunc(GL_ALWAYS);
  shade(editor, plan, m, i, t.worldMatrix);

  glDisable(GL_BLEND);
  glDepthFunc(GL_LESS);
  if (t.type == instance_type::mirror) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glDepthMask(GL_TRUE);
  }
}

void SceneRenderer::shade(Editor& editor, const InstanceDrawPlan& plan, int m, int i,
                          const Matrix& world) {
  const Model& model = editor.model();
  const FrameState& f = editor.frame;
  const Instance& t = model.document.module[m].instances[i];
  const InstanceRun run = instanceRun(editor.scene, m, static_cast<std::size_t>(i));
  const GLint first = run.firstSceneVertex;
  const GLsizei count = run.triangleCount * 3;
  const Matrix wvp = multiply(multiply(world, f.camera.view), projection_);
  auto map = [&](int slot) {
    const GLuint id = plan.textured && hasMap(f, m, slot) ? textures_->texture(m, slot) : 0;
    return id != 0 ? id : black_;
  };

  switch (plan.path) {
    case ShadingPath::scrolling:
    case ShadingPath::ageBlend: {
      const bool base = plan.textured && hasMap(f, m, textfile),
                 light = plan.textured && hasMap(f, m, lightfile);
      bindTexture(0, map(textfile));
      bindTexture(1, map(lightfile));
      if (plan.path == ShadingPath::ageBlend) {
        useFixed(wvp, 5, {1, 1, 1, plan.ageAlpha});
      } else {
        useFixed(wvp, 0, {1, 1, 1, 1}, base, light);
        setVec4(fixed_, "uvTransform0", {1, 1, 0, plan.textureScroll});
        setVec4(fixed_, "uvTransform1", {1, 1, 0, plan.textureScroll});
      }
      drawRange(first, count);
      return;
    }
    case ShadingPath::vehicle: {
      const GLuint p = vehicleProgram();
      if (p == 0) return;
      glUseProgram(p);
      const VehicleParams& v = plan.vehicle;
      setMatrix(p, "matWorldViewProj", wvp);
      setMatrix(p, "matWorld", world);
      const auto inverseWorld = inverse(world);
      Matrix inverseTranspose = identityMatrix();
      if (inverseWorld) {
        for (int r = 0; r < 4; ++r) {
          for (int c = 0; c < 4; ++c) inverseTranspose[r][c] = (*inverseWorld)[c][r];
        }
      }
      setMatrix(p, "matInverseTranspose", inverseTranspose);
      setVec4(p, "vecCameraPosition", v.cameraPosition);
      setVec4(p, "colAmbient", v.colAmbient);
      setVec4(p, "colSunlight", v.colSunlight);
      setVec4(p, "vecSunlight", v.vecSunlight);
      setVec4(p, "tDim", v.tDim);
      setVec4(p, "colInstance", v.colInstance);
      setVec4(p, "vecCameraDirectionWorld", v.cameraDirectionWorld);
      GLint flags[7];
      for (int k = 0; k < 7; ++k) flags[k] = v.flags[k];
      glUniform1iv(uniform(p, "flags"), 7, flags);
      struct Sampler {
        const char* name;
        int slot;
      };
      const Sampler samplers[] = {
          {"ReflectTexture", reflectfile}, {"HeightTexture", normalMapSlot},
          {"ColorTexture", textfile},      {"OverlayTexture", overlayfile},
          {"DiffuseTexture", lightfile},   {"VisibleTexture", visibilityfile},
          {"GrimeTexture", grimefile},     {"DetailAlpha", controlfile},
          {"DetailTexture", detailfile}};
      int unit = 0;
      for (const Sampler& s : samplers) {
        bindTexture(unit, map(s.slot));
        glUniform1i(uniform(p, s.name), unit++);
      }
      drawRange(first, count);
      return;
    }
    default:
      break;
  }

  // Paths A, C, D and G: the main program's pass.
  const MainParams& params = plan.main;
  const GLuint p = mainProgram(params.pass);
  if (p == 0) return;
  glUseProgram(p);
  setMatrix(p, "matWorldViewProj", wvp);
  setMatrix(p, "matWorld", world);
  setVec4(p, "clouduv", params.clouduv);
  setVec4(p, "ambient", params.ambient);
  setVec4(p, "Sunlight", params.sunlight);
  setVec4(p, "SpotDir", params.spotDir);
  setVec4(p, "shiplight", params.shiplight);
  setVec4(p, "Radiosity", params.radiosity);
  setVec4(p, "Features", params.features);
  setVec4(p, "BlackAlpha", params.blackAlpha);
  glUniform1f(uniform(p, "Motion"), params.motion);
  const bool reentry =
      t.type == instance_type::windshield && model.settings.view.reentryEffect && reentry_ != 0;
  glUniform1i(uniform(p, "reentry"), reentry);
  const char* names[] = {"ColorMap", "ColorMap2", "CloudMap", "RoadsMap", "RoadsMap2", "AlphaMap"};
  // Scene textures not held are bound as black: the terrain pass then shows its bare-ground
  // brown, the building pass draws without window colours.
  auto scene = [&](SceneTexture which) {
    const GLuint id = textures_->sceneTexture(which);
    return id != 0 ? id : black_;
  };
  const bool terrain = plan.path == ShadingPath::terrain;
  const GLuint bound[] = {terrain ? scene(SceneTexture::terrain) : map(textfile), map(lightfile),
                          plan.path == ShadingPath::cityBuilding
                              ? scene(SceneTexture::windowColormap)
                              : map(overlayfile),
                          black_, black_,
                          // The hull map multiplies by the nameplate; until there is one it
                          // leaves the colour as it is.
                          white_};
  for (int k = 0; k < 6; ++k) {
    bindTexture(k, bound[k]);
    glUniform1i(uniform(p, names[k]), k);
  }
  bindTexture(6, reentry_, GL_TEXTURE_3D);
  glUniform1i(uniform(p, "ReentryMap"), 6);
  if (!terrain || model.tileRecords.empty()) {
    drawRange(first, count);
    return;
  }
  // The ground is drawn tile by tile, each with its piece's day and light images.
  for (const TileRecord& tile : model.tileRecords) {
    const GLuint day = textures_->piece(tile.piece, false),
                 light = textures_->piece(tile.piece, true);
    bindTexture(3, day != 0 ? day : black_);
    bindTexture(4, light != 0 ? light : black_);
    setVec4(p, "Features", {day != 0 ? 1.0f : 0.0f, 0, 0, 0});
    const GLint tileFirst = first + tile.firstVertex;
    const GLsizei tileCount = std::min<GLsizei>(tile.triangleCount * 3, first + count - tileFirst);
    if (tile.firstVertex >= 0 && tileCount > 0) drawRange(tileFirst, tileCount);
  }
}

void SceneRenderer::drawTexelView(Editor& editor) {
  const Model& model = editor.model();
  const FrameState& f = editor.frame;
  const Selection& s = model.selection;
  glDisable(GL_CULL_FACE);
  const int m = s.currentModule;
  if (m < 0 || m >= model.document.wldfiles) return;
  const Module& module = model.document.module[m];
  const Matrix wvp = multiply(f.camera.view, projection_);
  const bool instanceOk = s.currentInstance >= 0 &&
                          static_cast<std::size_t>(s.currentInstance) < module.instances.size();
  // The current instance's run, or the first instance's when none is current.
  const bool any = instanceOk || !module.instances.empty();
  const InstanceRun run =
      instanceRun(editor.scene, m, instanceOk ? static_cast<std::size_t>(s.currentInstance) : 0);
  glBindVertexArray(sceneVao_);
  if (any && !module.polygons.empty()) {
    const EditingState& editing = editor.editing;
    if (editing.sourceEdgeSet) {
      // First, so that the wireframe over it fails the depth test and leaves it showing.
      const int set = model.settings.view.texelMapIndex == 4 ? 1 : 0;
      const std::array<Vec3, 2> ends = texelViewEdge(module, set, editing.sourceEdgeTexels);
      RenderVertex edge[2]{};
      for (int k = 0; k < 2; ++k) {
        edge[k].x = ends[k].x;
        edge[k].y = ends[k].y;
        edge[k].z = ends[k].z;
      }
      glBindVertexArray(quadVao_);
      glBindBuffer(GL_ARRAY_BUFFER, quadVbo_);
      glBufferSubData(GL_ARRAY_BUFFER, 18 * sizeof(RenderVertex), sizeof edge, edge);
      useFixed(wvp, 1, pulseColour(f.blink));
      drawRange(18, 2, GL_LINES);
      glBindVertexArray(sceneVao_);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    useFixed(wvp, 0, {1, 1, 1, 1});
    drawRange(run.firstSceneVertex, run.triangleCount * 3);
    if (s.currentPolygon >= 0 &&
        static_cast<std::size_t>(s.currentPolygon) < module.polygons.size()) {
      const Polygon& p = module.polygons[s.currentPolygon];
      useFixed(wvp, 1, grey(1 - f.blink));
      drawRange(run.firstSceneVertex +
                    polygonRunStart(editor.scene, m, static_cast<std::size_t>(s.currentPolygon)),
                p.sides == 4 ? 6 : 3);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    static constexpr int shownSlot[8] = {textfile,    lightfile, reflectfile,    heightfile,
                                         overlayfile, grimefile, visibilityfile, detailfile};
    const int index = model.settings.view.texelMapIndex % 8;
    const int slot = shownSlot[index];
    if (hasMap(f, m, slot)) {
      bindTexture(0, textures_->texture(m, slot));
      if (index == 7) {
        bindTexture(1, hasMap(f, m, controlfile) ? textures_->texture(m, controlfile) : white_);
        useFixed(wvp, 4, {1, 1, 1, 1});
        setVec4(fixed_, "uvTransform0", {4, 4, 0, 0});
      } else {
        useFixed(wvp, index == 6 ? 3 : 2, {1, 1, 1, 1});
        // The overlay is laid out and sampled by texel set 1.
        if (index == 4) glUniform1i(uniform(fixed_, "stage1SecondSet"), 1);
      }
    } else {
      useFixed(wvp, 0, {1, 1, 1, 1});
    }
    drawRange(run.firstSceneVertex, run.triangleCount * 3);
  }
  if (editor.scene.hasCanvasQuad) {
    glBindVertexArray(quadVao_);
    useFixed(wvp, 1, factorOf(0xFFFF0000));
    drawRange(6, 6, GL_LINE_STRIP);
    useFixed(wvp, 1, factorOf(0xFF808080));
    drawRange(0, 6);
  }
  if (any && (s.currentPolygon >= 0 || s.currentPolygon == -2)) {
    glBindVertexArray(sceneVao_);
    glDepthFunc(GL_LEQUAL);
    useFixed(wvp, 1, grey(0.4f + 0.6f * f.blink));
    auto highlight = [&](int index) {
      if (index < 0 || static_cast<std::size_t>(index) >= module.polygons.size()) return;
      const Polygon& p = module.polygons[static_cast<std::size_t>(index)];
      drawRange(
          run.firstSceneVertex + polygonRunStart(editor.scene, m, static_cast<std::size_t>(index)),
          p.sides == 4 ? 6 : 3);
    };
    if (s.currentPolygon == -2) {
      for (int index : s.selectedPolygons) highlight(index);
    } else {
      highlight(s.currentPolygon);
    }
    glDepthFunc(GL_LESS);
  }
}

void SceneRenderer::drawOverlays(Editor& editor) {
  Model& model = editor.model();
  FrameState& f = editor.frame;
  const ViewOptions& view = model.settings.view;
  const Selection& s = model.selection;
  const Matrix viewProj = multiply(f.camera.view, projection_);
  glDisable(GL_CULL_FACE);

  if (view.boundingSpheres) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glDepthFunc(GL_LEQUAL);
    glBindVertexArray(sphereVao_);
    const bool anyCurrent = s.currentInstance >= 0;
    const int modules =
        isCity(model.document) ? model.document.wldfiles - 1 : model.document.wldfiles;
    for (int m = 0; m < modules; ++m) {
      const Module& module = model.document.module[m];
      const float k = static_cast<float>(unitKilometres(module.scaleClass));
      for (std::size_t i = 0; i < module.instances.size(); ++i) {
        const Instance& t = module.instances[i];
        if (t.type == instance_type::noBoundingSphere || t.type == instance_type::cargoBay ||
            t.group == 997)
          continue;
        const bool current = s.currentModule == m && s.currentInstance == static_cast<int>(i);
        if (anyCurrent && !current) continue;
        const float radius = t.type == instance_type::placeholderSmall    ? 0.013355330f
                             : t.type == instance_type::placeholderMedium ? 0.023909660f
                             : t.type == instance_type::placeholderLarge  ? 0.034464002f
                                                                          : module.boundingRadius;
        const Matrix world =
            multiply(scaling(radius, radius, radius),
                     translation(t.location[0] * k, t.location[1] * k, t.location[2] * k));
        glPolygonMode(GL_FRONT_AND_BACK, current ? GL_LINE : GL_FILL);
        useFixed(multiply(world, viewProj), 1, factorOf(current ? 0x000000FF : 0x00000080));
        drawRange(0, sphereVertices_);
      }
    }
    const float e = f.sceneExtent;
    useFixed(multiply(scaling(e, e, e), viewProj), 1, factorOf(0x00008000));
    drawRange(0, sphereVertices_);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
  }

  glBindVertexArray(lineVao_);
  if (view.showNormals) {
    for (int m = 0; m < model.document.wldfiles; ++m) {
      const Module& module = model.document.module[m];
      if (normalCount_[m] <= 0) continue;
      for (std::size_t i = 0; i < module.instances.size(); ++i) {
        if (!view.allModules && !(s.currentModule == m && s.currentInstance == static_cast<int>(i)))
          continue;
        useFixed(multiply(module.instances[i].worldMatrix, viewProj), 0, {1, 1, 1, 1});
        drawRange(normalFirst_[m], normalCount_[m], GL_LINES);
      }
    }
    useFixed(viewProj, 0, {1, 1, 1, 1});
    drawRange(lineListFirst_, static_cast<GLsizei>(f.lineList.size()), GL_LINES);
  }

  // Connector lines, the current and the animated one pulsing.
  f.connectorClock += f.lastElapsed;
  if (f.connectorClock >= 0.1f) {
    f.connectorClock = 0;
    f.connectorIndex =
        model.document.connectors.empty()
            ? 0
            : (f.connectorIndex + 1) % static_cast<int>(model.document.connectors.size());
  }
  const int lines = static_cast<int>(f.connectorLines.size() / 2);
  for (int c = 0; c < lines && c < static_cast<int>(model.document.connectors.size()); ++c) {
    const int system = model.document.connectors[c].system;
    if (system < 0 || system > systemCount || !(system == 0 || view.systemShown[system])) continue;
    const bool marked = c == view.currentConnector || c == f.connectorIndex;
    useFixed(viewProj, 0, marked ? grey(0.4f + 0.6f * f.blink) : Float4{1, 1, 1, 1});
    drawRange(connectorFirst_ + 2 * c, 2, GL_LINES);
  }

  const bool moduleOk = s.currentModule >= 0 && s.currentModule < model.document.wldfiles;
  if (view.graphPaper && moduleOk) {
    glBindVertexArray(quadVao_);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    bindTexture(0, grid_);
    useFixed(multiply(graphPaperWorld(model, f), viewProj), 0, {1, 1, 1, 1}, true);
    drawRange(12, 6);
    glDisable(GL_BLEND);
  }
}

void SceneRenderer::drawLights(Editor& editor) {
  const Model& model = editor.model();
  const FrameState& f = editor.frame;
  const ViewOptions& view = model.settings.view;
  const int count =
      std::min<int>(static_cast<int>(editor.scene.lightSprites.size()), model.document.lightCount);
  if (!view.showLights || count <= 0) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_FALSE);
  glBindVertexArray(spriteVao_);
  bindTexture(0, flare_);
  useFixed(multiply(f.camera.view, projection_), 6, {1, 1, 1, 1});
  const Vec3 camera = f.camera.direction;
  for (int i = 0; i < count; ++i) {
    const Light& light = model.document.lights[i];
    const bool lit =
        !view.animateLights || (light.sequence & light.cursor) != 0 || light.effectType == 1.5f;
    const bool shown = !isAssembly(model.document) || light.attached < 1 ||
                       (light.attached % 2 != 0 && model.motion.extended);
    if (!lit || !shown) continue;
    float size = 307200.0f / static_cast<float>(f.camera.zoomPosition);
    const Vec3 normal{light.normal[0], light.normal[1], light.normal[2]};
    float facing = dot(normal, camera);
    if (light.effectType == 1.5f) {
      const float turn =
          light.secondsPerCycle != 0 ? light.phase * 2 * pi / light.secondsPerCycle : 0;
      facing = dot(transformNormal({-1, 0, 0}, rotationAxis(normalise(normal), turn)), camera);
      facing = std::abs(facing);
    }
    if (light.effectType == 1.0f) {
      size *= std::max(facing, 0.0f);
    } else if (light.effectType == 0.5f) {
      size = facing > 0 ? size * 2 : 0;
    } else if (light.effectType == 2.0f || light.effectType == 1.5f) {
      size *= 4 * std::pow(facing, 8.0f);
    }
    if (size <= 0) continue;
    glUniform1f(uniform(fixed_, "pointSize"), size);
    drawRange(i, 1, GL_POINTS);
  }
  glDepthMask(GL_TRUE);
  glDepthFunc(GL_LESS);
  glDisable(GL_BLEND);
}

// Glow instances go into their own target, are blurred across and down, and laid over
// the frame by their alpha.
void SceneRenderer::drawGlow(Editor& editor) {
  Model& model = editor.model();
  bool any = false;
  for (int m = 0; m < model.document.wldfiles && !any; ++m) {
    for (const Instance& t : model.document.module[m].instances)
      any = any || t.type == instance_type::glow;
  }
  if (!any || postProgram(0) == 0 || postProgram(1) == 0 || postProgram(2) == 0) return;
  glBindFramebuffer(GL_FRAMEBUFFER, glowFbo_[0]);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  sortedSelection(model.selection, selectedKeys_);
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (std::size_t i = 0; i < model.document.module[m].instances.size(); ++i) {
      if (model.document.module[m].instances[i].type == instance_type::glow)
        drawInstance(editor, m, static_cast<int>(i));
    }
  }
  glDisable(GL_CULL_FACE);
  glBindVertexArray(screenVao_);
  auto pass = [&](int technique, GLuint source, GLuint target) {
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glUseProgram(post_[technique]);
    glUniform2f(uniform(post_[technique], "tDim"), static_cast<float>(width_),
                static_cast<float>(height_));
    bindTexture(0, source);
    glUniform1i(uniform(post_[technique], "g_txSrcColor"), 0);
    glUniform1i(uniform(post_[technique], "g_txScene"), 0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  };
  pass(1, glowTexture_[0], glowFbo_[1]);
  pass(2, glowTexture_[1], glowFbo_[0]);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  pass(0, glowTexture_[0], targetFbo_);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}

}  // namespace tessarim
