#include "platform/settings_store.hpp"

namespace tessarim {

std::string MemorySettingsStore::path(std::string_view key, std::string_view name) {
  std::string p{key};
  p += '/';
  p += name;
  return p;
}

std::optional<std::string> MemorySettingsStore::readString(std::string_view key,
                                                           std::string_view name) {
  auto it = values.find(path(key, name));
  return it == values.end() ? std::nullopt : it->second.text;
}

std::optional<std::uint32_t> MemorySettingsStore::readNumber(std::string_view key,
                                                             std::string_view name) {
  auto it = values.find(path(key, name));
  return it == values.end() ? std::nullopt : it->second.number;
}

void MemorySettingsStore::writeString(std::string_view key, std::string_view name,
                                      std::string_view value) {
  values[path(key, name)] = Value{std::string{value}, std::nullopt};
}

void MemorySettingsStore::writeNumber(std::string_view key, std::string_view name,
                                      std::uint32_t value) {
  values[path(key, name)] = Value{std::nullopt, value};
}

}  // namespace tessarim
