#include "AboutBox.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "CoreText.h"
#include "form/form.h"

namespace {

constexpr int kWidth = 394;
constexpr int kHeight = 275;
const QColor kMaroon(128, 0, 0);
const QColor kTeal(0, 128, 128);

QLabel* addLabel(QWidget* panel, const QString& text, const QFont& font, const QColor& colour,
                 const QRect& geometry, Qt::Alignment alignment) {
  auto* label = new QLabel(text, panel);
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAlignment(alignment | Qt::AlignVCenter);
  label->setGeometry(geometry);
  return label;
}

QFont withStyle(QFont font, int pointSize, bool bold, bool underline = false) {
  if (pointSize > 0) font.setPointSize(pointSize);
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

}  // namespace

AboutBox::AboutBox(tw::Platform& platform, const QFont& font, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint),
      m_platform(platform) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Quelmark Tallyweave"));
  setFixedSize(kWidth, kHeight);
  setFont(font);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, QColor(223, 239, 223));
  panel->setPalette(palette);
  layout->addWidget(panel);

  const int right = kWidth - 16;
  addLabel(panel, QString::fromLatin1(tw::kProgramTitle), withStyle(font, 12, true), kMaroon,
           QRect(8, 20, right - 8, 28), Qt::AlignRight)
      ->setObjectName(QStringLiteral("Label1"));
  addLabel(panel, fromCoreText(tw::TSDIAppForm::AboutVersionLine()), withStyle(font, 10, true),
           kMaroon, QRect(8, 50, right - 8, 22), Qt::AlignRight)
      ->setObjectName(QStringLiteral("Label2"));
  m_databaseLine = addLabel(panel, QString(), font, kTeal, QRect(16, 98, kWidth - 32, 48),
                            Qt::AlignLeft);
  m_databaseLine->setObjectName(QStringLiteral("DatabaseLabel"));
  m_databaseLine->setWordWrap(true);
  addLabel(panel, tr("Reports on Apache combined-format access logs."), font, kTeal,
           QRect(16, 150, kWidth - 32, 16), Qt::AlignLeft)
      ->setObjectName(QStringLiteral("Label3"));
  addLink(panel, tw::kHomeAddress, 182)->setObjectName(QStringLiteral("Label4"));
  addLink(panel, tw::kSupportMail, 202)->setObjectName(QStringLiteral("Label5"));

  auto* ok = new QPushButton(QStringLiteral("OK"), panel);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setGeometry(kWidth - 16 - 75, kHeight - 16 - 25, 75, 25);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* AboutBox::addLink(QWidget* panel, const char* text, int y) {
  QLabel* label = addLabel(panel, QString::fromLatin1(text), withStyle(font(), 0, false, true),
                           kTeal, QRect(16, y, kWidth - 32, 16), Qt::AlignLeft);
  label->adjustSize();
  label->setCursor(Qt::PointingHandCursor);
  label->installEventFilter(this);
  return label;
}

void AboutBox::setDatabaseLine(const QString& text) { m_databaseLine->setText(text); }

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (label != nullptr && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    m_platform.OpenLink(toCoreText(label->text()));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
