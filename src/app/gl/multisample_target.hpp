#pragma once

#include <QOpenGLFunctions_3_3_Core>
#include <string>
#include <vector>

namespace tessarim {

// A multisampled framebuffer (4 samples, or the driver's most when fewer; RGBA8 colour, depth 24
// and stencil 8) the frame is drawn into and then averaged into the widget's own. Its buffers
// belong to one context and are made on first use, so a view that never multisamples holds none.
class MultisampleTarget {
 public:
  // Binds the buffer for drawing, made at width x height when none is held. False when the
  // driver cannot give one; the reason is added to `problems` the first time only.
  bool bind(QOpenGLFunctions_3_3_Core& gl, int width, int height,
            std::vector<std::string>& problems);
  // Averages the samples into `target` and leaves `target` bound for drawing on.
  void resolve(QOpenGLFunctions_3_3_Core& gl, GLuint target);
  // Frees the buffers; the next bind makes them again at its size.
  void release(QOpenGLFunctions_3_3_Core& gl);
  // With the context: frees the buffers and forgets a failure, as a new context may do better.
  void destroy(QOpenGLFunctions_3_3_Core& gl);

 private:
  GLuint fbo_ = 0, colour_ = 0, depthStencil_ = 0;
  int width_ = 0, height_ = 0, samples_ = 0;
  bool failed_ = false;
};

}  // namespace tessarim
