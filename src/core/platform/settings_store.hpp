#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tessarim {

inline constexpr std::string_view mainKey = "Quorvane Industries";
inline constexpr std::string_view recentKey = "Quorvane Industries\\MRU";

// The user's persistent settings: named string and 32-bit number values under a key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Nothing when the value is missing or holds a number.
  virtual std::optional<std::string> readString(std::string_view key, std::string_view name) = 0;
  // Nothing when the value is missing or holds a string.
  virtual std::optional<std::uint32_t> readNumber(std::string_view key, std::string_view name) = 0;
  virtual void writeString(std::string_view key, std::string_view name, std::string_view value) = 0;
  virtual void writeNumber(std::string_view key, std::string_view name, std::uint32_t value) = 0;
};

// Settings kept in memory only: tests, and batch runs that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> readString(std::string_view key, std::string_view name) override;
  std::optional<std::uint32_t> readNumber(std::string_view key, std::string_view name) override;
  void writeString(std::string_view key, std::string_view name, std::string_view value) override;
  void writeNumber(std::string_view key, std::string_view name, std::uint32_t value) override;

  struct Value {
    std::optional<std::string> text;
    std::optional<std::uint32_t> number;
  };
  std::map<std::string, Value, std::less<>> values;  // "key/name" -> value

 private:
  static std::string path(std::string_view key, std::string_view name);
};

}  // namespace tessarim
