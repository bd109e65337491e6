#pragma once

// Text conversion at the border between the window and the core. The core
// holds UTF-8 texts and file paths as the platform's own bytes; the window
// holds QStrings.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

// A UTF-8 text of the core as a QString.
QString fromCoreText(std::string_view text);
// A text of the window for the core, as UTF-8.
std::string toCoreText(const QString& text);

// A file path as the bytes the core passes to the file system.
std::string toPathBytes(const QString& path);
QString fromPathBytes(std::string_view bytes);

// Converts core texts that may embed file paths the window handed to the core
// (the window title and the status text carry the log's path, the information
// box its file name). A known path inside a text is decoded as a path, the rest
// as UTF-8, so a file name in bytes that are no UTF-8 survives the trip.
class CoreTextDecoder {
 public:
  // Remembers `path` and its file name for later texts; the last few paths
  // are kept (the opened log and the saved table).
  void rememberPath(const QString& path);
  QString operator()(std::string_view text) const;

 private:
  struct Known {
    std::string bytes;
    QString text;
  };
  std::vector<Known> m_known;  // longest first
};
