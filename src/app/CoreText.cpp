#include "CoreText.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

QString fromCoreText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toCoreText(const QString& text) { return text.toStdString(); }

std::string toPathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromPathBytes(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

namespace {
constexpr std::size_t kKeptTexts = 8;  // four paths with their file names
}

void CoreTextDecoder::rememberPath(const QString& path) {
  if (path.isEmpty()) return;
  const QString name = QFileInfo(path).fileName();
  for (const QString& text : {path, name}) {
    if (text.isEmpty()) continue;
    std::string bytes = toPathBytes(text);
    std::erase_if(m_known, [&](const Known& known) { return known.bytes == bytes; });
    m_known.insert(m_known.begin(), {std::move(bytes), text});
  }
  if (m_known.size() > kKeptTexts) m_known.resize(kKeptTexts);
}

QString CoreTextDecoder::operator()(std::string_view text) const {
  // The earliest known text wins, and of two at one place the longer, so a
  // whole path is taken before the file name at its end.
  const Known* best = nullptr;
  std::size_t bestAt = std::string_view::npos;
  for (const Known& known : m_known) {
    const std::size_t at = text.find(known.bytes);
    if (at == std::string_view::npos) continue;
    if (best == nullptr || at < bestAt ||
        (at == bestAt && known.bytes.size() > best->bytes.size())) {
      best = &known;
      bestAt = at;
    }
  }
  if (best == nullptr) return fromCoreText(text);
  return fromCoreText(text.substr(0, bestAt)) + best->text +
         (*this)(text.substr(bestAt + best->bytes.size()));
}
