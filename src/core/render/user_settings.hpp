#pragma once

#include <cstdint>
#include <string>

#include "model/records.hpp"

namespace tessarim {

// The user's own settings, read from the settings store at start-up.
struct UserSettings {
  std::string repoPath;  // the full value: the repository folder and every dialog's first folder
  std::string terrain1, terrain2, terrainA;
  std::string windowColormap;
  FileTime windowColormapTime = 0;  // of the file when its texture was loaded; 0: not loaded
  std::string imageEditorPath;
  std::string customColorsPath;
  std::string tempPath;
  std::uint32_t backgroundColor = 0xF9CE71;  // 0xAARRGGBB
  std::uint32_t sunlightColor = 0xFFFFFF;
  std::string bitmapsFile;   // contact-sheet groups
  std::string legalityFile;  // parking-legality training data
};

}  // namespace tessarim
