#pragma once

// The about box: program name, version line, the location database in use, a
// notice and two links (the maker's web address and the support mail address). A click on a link hands
// the link's own text to the platform. Created once, hidden; exec() shows it.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {
class Platform;
}

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  // The platform must outlive the dialog.
  AboutBox(tw::Platform& platform, const QFont& font, QWidget* parent = nullptr);
  // The line naming the location database and its date.
  void setDatabaseLine(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* addLink(QWidget* panel, const char* text, int y);

  tw::Platform& m_platform;
  QLabel* m_databaseLine = nullptr;
};
