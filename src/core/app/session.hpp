#pragma once

namespace tessarim {

struct Model;
class Ui;
class SettingsStore;
class Clock;

// What a command works with: the model and the seams to the user and the platform.
struct Session {
  Model& model;
  Ui& ui;
  SettingsStore& store;
  Clock& clock;
};

}  // namespace tessarim
