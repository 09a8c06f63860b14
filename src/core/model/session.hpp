#pragma once

#include <string>
#include <vector>

#include "model/paths.hpp"

namespace tessarim {

struct Model;
class Ui;
class SettingsStore;
class Clock;
class FileSource;
FileSource& systemFiles();

// The files a session wrote and those it failed to write, in order, by the names the user was
// shown: a batch run reports them, and tells a command that failed from one that did its work.
struct WriteLog {
  std::vector<std::string> written;
  std::vector<std::string> failed;
};

// What becomes of a document that lost content while loading when something would write it.
enum class LostContent {
  ask,     // the user is told what would be lost and decides
  refuse,  // nobody can answer (a batch run): it is never written, by any command
};

// What a command works with: the model, the repository folder its names are relative to, and
// the seams to the user and the platform.
struct Session {
  Session(Model& m, RepositoryFolder& r, Ui& u, SettingsStore& s, Clock& c,
          FileSource& f = systemFiles())
      : model(m), repository(r), ui(u), store(s), clock(c), files(f) {}

  Model& model;
  RepositoryFolder& repository;
  Ui& ui;
  SettingsStore& store;
  Clock& clock;
  FileSource& files;  // where readers find the files a document names
  LostContent lostContent = LostContent::ask;
  WriteLog writes;
};

}  // namespace tessarim
