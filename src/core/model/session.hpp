#pragma once

namespace tessarim {

struct Model;
class Ui;
class SettingsStore;
class Clock;
class FileSource;
FileSource& systemFiles();

// What a command works with: the model and the seams to the user and the platform.
struct Session {
  Model& model;
  Ui& ui;
  SettingsStore& store;
  Clock& clock;
  FileSource& files = systemFiles();  // where readers find the files a document names
};

}  // namespace tessarim
