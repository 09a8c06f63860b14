#include "qt_settings_store.hpp"

#include <QSettings>

namespace tessarim {
namespace {

constexpr std::string_view numberPrefix = "dword:";

QString valuePath(std::string_view key, std::string_view name) {
  QString path = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  path.replace('\\', '/');
  if (key == recentKey) path.prepend("MRU/");
  return path;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Quorvane Industries"),
                                            QStringLiteral("Tessarim"))) {}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<std::string> QtSettingsStore::readString(std::string_view key,
                                                       std::string_view name) {
  const QVariant value = settings_->value(valuePath(key, name));
  if (!value.isValid()) return std::nullopt;
  std::string text = value.toString().toStdString();
  if (text.starts_with(numberPrefix)) return std::nullopt;
  return text;
}

std::optional<std::uint32_t> QtSettingsStore::readNumber(std::string_view key,
                                                         std::string_view name) {
  const QString text = settings_->value(valuePath(key, name)).toString();
  if (!text.startsWith(
          QLatin1String(numberPrefix.data(), static_cast<qsizetype>(numberPrefix.size())))) {
    return std::nullopt;
  }
  bool ok = false;
  const uint number = text.mid(static_cast<qsizetype>(numberPrefix.size())).toUInt(&ok, 16);
  if (!ok) return std::nullopt;
  return number;
}

void QtSettingsStore::writeString(std::string_view key, std::string_view name,
                                  std::string_view value) {
  settings_->setValue(valuePath(key, name),
                      QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::writeNumber(std::string_view key, std::string_view name,
                                  std::uint32_t value) {
  settings_->setValue(
      valuePath(key, name),
      QString::fromLatin1(numberPrefix.data(), static_cast<qsizetype>(numberPrefix.size())) +
          QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper());
}

}  // namespace tessarim
