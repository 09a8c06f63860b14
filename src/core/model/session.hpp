#pragma once

#include "model/paths.hpp"

namespace tessarim {

struct Model;
class Ui;
class SettingsStore;
class Clock;
class FileSource;
FileSource& systemFiles();

// What a command works with: the model, the repository folder its names are relative to, and
// the seams to the user and the platform.
struct Session {
  Model& model;
  RepositoryFolder& repository;
  Ui& ui;
  SettingsStore& store;
  Clock& clock;
  FileSource& files = systemFiles();  // where readers find the files a document names
};

}  // namespace tessarim
