#pragma once

#include <memory>

#include "platform/settings_store.hpp"

class QSettings;

namespace tessarim {

// The user's settings through QSettings under the organisation "Quorvane Industries": the main
// key's values at the top level, the recent-files key's values in the group "MRU". A value name's
// backslash becomes a slash, which QSettings reserves as its separator. Numbers are stored as
// "dword:XXXXXXXX" text so that a value keeps its type, as the program expects of its settings.
class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();
  ~QtSettingsStore() override;

  std::optional<std::string> readString(std::string_view key, std::string_view name) override;
  std::optional<std::uint32_t> readNumber(std::string_view key, std::string_view name) override;
  void writeString(std::string_view key, std::string_view name, std::string_view value) override;
  void writeNumber(std::string_view key, std::string_view name, std::uint32_t value) override;

  QSettings& settings() { return *settings_; }

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace tessarim
