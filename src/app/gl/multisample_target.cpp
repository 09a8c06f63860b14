#include "gl/multisample_target.hpp"

#include <algorithm>
#include <cstdio>

namespace tessarim {

bool MultisampleTarget::bind(QOpenGLFunctions_3_3_Core& gl, int width, int height,
                             std::vector<std::string>& problems) {
  if (failed_) return false;
  if (fbo_ != 0 && (width != width_ || height != height_)) release(gl);
  if (fbo_ == 0) {
    // A driver with fewer than 4 samples gives what it has.
    GLint most = 0;
    gl.glGetIntegerv(GL_MAX_SAMPLES, &most);
    samples_ = std::min(4, static_cast<int>(most));
    if (samples_ < 2) {
      problems.emplace_back(
          "The OpenGL driver cannot multisample; the view is drawn without multisampling.");
      failed_ = true;
      return false;
    }
    width_ = width;
    height_ = height;
    gl.glGenRenderbuffers(1, &colour_);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_RGBA8, width, height);
    gl.glGenRenderbuffers(1, &depthStencil_);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_DEPTH24_STENCIL8, width,
                                        height);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.glGenFramebuffers(1, &fbo_);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                 depthStencil_);
    const GLenum status = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "The %d-sample frame buffer cannot be made (status 0x%04X); the view is "
                    "drawn without multisampling.",
                    samples_, static_cast<unsigned>(status));
      problems.emplace_back(text);
      release(gl);
      failed_ = true;
      return false;
    }
  }
  gl.glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  // QPainter switches multisampling off when it draws the status text without antialiasing.
  gl.glEnable(GL_MULTISAMPLE);
  return true;
}

void MultisampleTarget::resolve(QOpenGLFunctions_3_3_Core& gl, GLuint target) {
  gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
  gl.glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                       GL_NEAREST);
  gl.glBindFramebuffer(GL_FRAMEBUFFER, target);
}

void MultisampleTarget::release(QOpenGLFunctions_3_3_Core& gl) {
  if (fbo_ != 0) gl.glDeleteFramebuffers(1, &fbo_);
  const GLuint buffers[] = {colour_, depthStencil_};
  gl.glDeleteRenderbuffers(2, buffers);
  fbo_ = colour_ = depthStencil_ = 0;
  width_ = height_ = 0;
}

void MultisampleTarget::destroy(QOpenGLFunctions_3_3_Core& gl) {
  release(gl);
  failed_ = false;
}

}  // namespace tessarim
