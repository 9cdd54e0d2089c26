#include "platform/dbkit/NameCollation.h"

#include <QString>

namespace NameCollation {

// The callers take the name after the first comma: the description has none.
std::vector<std::string> DriverList() { return {"Latin alphabet (case-insensitive)," + std::string(DefaultDriver)}; }

bool IsKnownDriver(std::string_view name) { return name == DefaultDriver; }

std::string Key(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  const std::string_view kept = end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
  return QString::fromUtf8(kept.data(), static_cast<qsizetype>(kept.size())).toCaseFolded().toStdString();
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  // The prefix keeps its trailing blanks: "Kis " does not match "Kiss".
  const QString folded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded();
  return folded.startsWith(QString::fromUtf8(prefix.data(), static_cast<qsizetype>(prefix.size())).toCaseFolded());
}

}  // namespace NameCollation
