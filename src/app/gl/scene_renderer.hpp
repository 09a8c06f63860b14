#pragma once

#include <QOpenGLFunctions_3_3_Core>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/texture_pass.hpp"
#include "gl/gl_textures.hpp"
#include "gl/multisample_target.hpp"
#include "maths/matrix.hpp"
#include "model/vertex_layouts.hpp"
#include "render/instance_draw.hpp"

namespace tessarim {

struct Editor;
struct Model;

// The GL side of the viewport: buffers, programs and textures for the life of a context, and the
// frame's drawing in its fixed order. Problems that must not end the program (a shader that does
// not compile, a missing resource) are collected once for the viewport to report.
class SceneRenderer : protected QOpenGLFunctions_3_3_Core {
 public:
  SceneRenderer();
  ~SceneRenderer();

  void create(const std::string& tempPath);
  void reset(int width, int height, GLuint targetFramebuffer);
  void destroy();
  // Everything of frame render up to the status text.
  void render(Editor& editor);

  std::vector<std::string> takeProblems() { return std::move(problems_); }
  bool vehicleFromFile() const { return vehicleFromFile_; }
  std::string rendererName() const { return rendererName_; }

 private:
  struct Program {
    GLuint id = 0;
    std::array<GLint, 40> uniforms{};
  };

  // Each program is compiled on its first use; 0 when it does not build (reported once).
  GLuint mainProgram(int pass);
  GLuint postProgram(int technique);
  GLuint vehicleProgram();
  GLuint compile(const std::string& name, const char* vertexSource, const char* fragmentSource,
                 const std::string& defines);
  GLint uniform(GLuint program, const char* name) { return glGetUniformLocation(program, name); }
  void setMatrix(GLuint program, const char* name, const Matrix& m);
  void setVec4(GLuint program, const char* name, const Float4& v);
  void uploadScene(Editor& editor);
  void loadReentry(Editor& editor);
  void bindTexture(int unit, GLuint texture, GLenum target = GL_TEXTURE_2D);
  void useFixed(const Matrix& worldViewProj, int mode, const Float4& factor, bool stage0 = false,
                bool stage1 = false);
  void drawScene(Editor& editor);
  void drawTexelView(Editor& editor);
  void drawInstance(Editor& editor, int moduleIndex, int instanceIndex);
  void shade(Editor& editor, const InstanceDrawPlan& plan, int m, int i, const Matrix& world);
  void drawOverlays(Editor& editor);
  void drawLights(Editor& editor);
  void drawGlow(Editor& editor);
  void drawRange(GLint first, GLsizei count, GLenum mode = GL_TRIANGLES);

  GLuint sceneVao_ = 0, sceneVbo_ = 0;
  GLuint lineVao_ = 0,
         lineVbo_ = 0;  // normal lines of every module, then the line list and connectors
  GLuint spriteVao_ = 0, spriteVbo_ = 0;
  GLuint quadVao_ = 0, quadVbo_ = 0;  // canvas quad (12), graph paper (6), source edge (2)
  GLuint sphereVao_ = 0, sphereVbo_ = 0;
  GLuint screenVao_ = 0, screenVbo_ = 0;
  GLsizei sphereVertices_ = 0;
  std::size_t sceneCapacity_ = 0, lineCapacity_ = 0;
  std::uint64_t uploadedScene_ = ~0ull, uploadedLines_ = ~0ull;
  std::array<GLint, 256> normalFirst_{};
  std::array<GLsizei, 256> normalCount_{};
  GLint lineListFirst_ = 0, connectorFirst_ = 0;
  std::vector<LineVertex> lineStaging_;
  std::vector<DrawItem> order_;
  std::vector<std::uint32_t> selectedKeys_;  // the frame's selected instances, sorted

  GLuint fixed_ = 0, vehicle_ = 0;
  std::array<GLuint, 5> main_{};
  std::array<GLuint, 3> post_{};  // RenderNoLight, GaussianH, GaussianV
  bool vehicleFromFile_ = false;
  std::array<bool, 5> mainTried_{};
  std::array<bool, 3> postTried_{};
  bool vehicleTried_ = false;
  std::string studioVehicle_;  // TempPath's VehicleShader.glsl, empty when there is none

  GLuint white_ = 0, black_ = 0, flare_ = 0, grid_ = 0, letters_ = 0, reentry_ = 0;
  bool reentryTried_ = false;  // since the device was made or the textures were released
  GLuint glowFbo_[2] = {0, 0}, glowTexture_[2] = {0, 0};
  GLuint targetFbo_ = 0;
  int width_ = 1, height_ = 1;
  Matrix projection_{};

  std::unique_ptr<GlTextureStore> textures_;
  TextureNames names_;
  bool created_ = false;
  std::vector<std::string> problems_;
  std::string rendererName_;
  // The scene's frame while production lighting and the lighting sliders are both on.
  MultisampleTarget multisample_;
};

}  // namespace tessarim
