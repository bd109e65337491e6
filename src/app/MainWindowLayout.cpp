// The main window's widgets: sizes, fonts and colours. What they show comes
// from the form (ViewBinder).

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QActionGroup>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "MainWindow.h"
#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "form/form.h"

namespace {

constexpr int kLeftPanelWidth = 180;
// The report buttons: one line each, the second of two beside the first.
constexpr int kReportLineHeight = 16;
constexpr int kReportColumnStep = 84;
constexpr int kBesideButtonWidth = 70;
constexpr int kRequestGroupHeight = 88;
constexpr int kPeriodGroupHeight = 100;
constexpr int kAnalysePanelHeight = 36;
constexpr int kTargetLineHeight = 16;
constexpr int kMemoHeight = 75;
constexpr int kChartHeight = 190;
constexpr int kDetailsPanelHeight = 37;
constexpr int kRawLogHeight = 173;
constexpr int kRowHeight = 18;
constexpr int kDefaultColumnWidth = 50;

const QColor kNavy(0, 0, 128);
const QColor kPurple(128, 0, 128);

QColor toColor(tw::Rgb rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// "Open|Open a file": the status bar shows the part after the bar.
QString longHint(const char* hint) {
  const QString text = QString::fromLatin1(hint);
  const qsizetype bar = text.indexOf(QLatin1Char('|'));
  return bar < 0 ? text : text.mid(bar + 1);
}

QFont boldFont(QFont font) {
  font.setBold(true);
  return font;
}

// Font and text colour set explicitly, so a bold or coloured parent (a group
// box with its caption style) does not pass its style on.
void setTextStyle(QWidget* widget, const QFont& font, const QColor& colour) {
  widget->setFont(font);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  widget->setPalette(palette);
}

// Navy bold caption; everything inside keeps the plain font in black.
void styleGroupBox(QGroupBox* box, const QFont& font) {
  const QColor text = QApplication::palette().color(QPalette::Text);
  for (QWidget* child : box->findChildren<QWidget*>()) setTextStyle(child, font, text);
  setTextStyle(box, boldFont(font), kNavy);
}

void setInfoBackground(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, toColor(tw::kInfoBackground));
  widget->setPalette(palette);
}

QWidget* fixedHeightPanel(int height, QWidget* parent) {
  auto* panel = new QWidget(parent);
  panel->setFixedHeight(height);
  return panel;
}

}  // namespace

QFont MainWindow::baseFont() {
  const QStringList families = QFontDatabase::families();
  QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  for (const char* candidate : {"Tahoma", "DejaVu Sans", "Liberation Sans", "Arial"}) {
    if (families.contains(QLatin1String(candidate))) {
      family = QLatin1String(candidate);
      break;
    }
  }
  QFont font(family, 8);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(false);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

void MainWindow::buildWidgets() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("SDIAppForm"));
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(buildLeftPanel());
  layout->addWidget(buildReportArea(), 1);
  setCentralWidget(central);

  const QFont font = baseFont();
  // GroupBox5 lies inside GroupBox4, so it comes after it.
  for (QGroupBox* box :
       {m_ui.groupBox3, m_ui.groupBox6, m_ui.groupBox1, m_ui.groupBox2, m_ui.groupBox4, m_ui.groupBox5})
    styleGroupBox(box, font);
  m_ui.button1->setFont(font);
  for (QLabel* heading : m_ui.headings) setTextStyle(heading, boldFont(font), kPurple);
  setTextStyle(m_ui.label8, boldFont(font), kPurple);

  m_ui.statusLabel = new QLabel(this);
  m_ui.statusLabel->setObjectName(QStringLiteral("StatusBar"));
  m_ui.statusLabel->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(m_ui.statusLabel, 1);

  buildMenus();
  setAcceptDrops(true);
}

QWidget* MainWindow::buildLeftPanel() {
  auto* panel = new QWidget;
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFixedWidth(kLeftPanelWidth);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  // The report choice: the groups' headings and one exclusive button per kind.
  m_ui.groupBox3 = new QGroupBox(panel);
  m_ui.groupBox3->setObjectName(QStringLiteral("GroupBox3"));
  m_ui.reportGroup = new QButtonGroup(this);
  m_ui.reportGroup->setExclusive(true);
  m_ui.reportButtons.assign(tw::kReportKindCount, nullptr);
  // Each group: its heading, then its buttons in their order, as many to a
  // line as the group has columns; a button's id is its kind's place in the registry.
  static constexpr const char* kHeadingNames[tw::kReportGroupCount] = {"Label1", "Label2", "Label5",
                                                                       "Label6"};
  int y = kReportLineHeight;
  for (int g = 0; g < tw::kReportGroupCount; ++g) {
    const auto group = static_cast<tw::ReportGroup>(g);
    auto* heading = new QLabel(m_ui.groupBox3);
    heading->setObjectName(QLatin1String(kHeadingNames[g]));
    heading->setGeometry(8, y, kLeftPanelWidth - 12, kReportLineHeight);
    m_ui.headings[g] = heading;
    y += kReportLineHeight;
    const int columns = tw::ReportGroupColumns(group);
    int lines = 0;
    for (const tw::ReportKindInfo& kind : tw::kReportKinds) {
      if (kind.Group != group) continue;
      const int column = kind.Order % columns;
      const int line = kind.Order / columns;
      lines = std::max(lines, line + 1);
      const int x = 16 + column * kReportColumnStep;
      auto* button = new QRadioButton(m_ui.groupBox3);
      button->setObjectName(QLatin1String(kind.ButtonName));
      button->setGeometry(x, y + line * kReportLineHeight,
                          column > 0 ? kBesideButtonWidth : kLeftPanelWidth - x - 4,
                          kReportLineHeight);
      const auto index = static_cast<int>(tw::ReportKindIndex(kind));
      m_ui.reportGroup->addButton(button, index);
      m_ui.reportButtons[static_cast<std::size_t>(index)] = button;
    }
    y += lines * kReportLineHeight;
  }
  m_ui.groupBox3->setFixedHeight(y + 4);
  layout->addWidget(m_ui.groupBox3);

  // The request kinds and the crawler switch.
  m_ui.groupBox6 = new QGroupBox(panel);
  m_ui.groupBox6->setObjectName(QStringLiteral("GroupBox6"));
  m_ui.groupBox6->setFixedHeight(kRequestGroupHeight);
  m_ui.requestGroup = new QButtonGroup(this);
  m_ui.requestGroup->setExclusive(true);
  for (int filter = 1; filter <= 3; ++filter) {
    auto* button = new QRadioButton(m_ui.groupBox6);
    button->setObjectName(QStringLiteral("RadioButton%1").arg(13 + filter));
    button->setGeometry(16, 16 * filter, kLeftPanelWidth - 20, 16);
    m_ui.requestGroup->addButton(button, filter);
    m_ui.requestButtons[filter - 1] = button;
  }
  m_ui.checkBox1 = new QCheckBox(m_ui.groupBox6);
  m_ui.checkBox1->setObjectName(QStringLiteral("CheckBox1"));
  m_ui.checkBox1->setGeometry(16, 66, kLeftPanelWidth - 20, 16);
  layout->addWidget(m_ui.groupBox6);

  // The site sections.
  m_ui.groupBox1 = new QGroupBox(panel);
  m_ui.groupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* treeLayout = new QVBoxLayout(m_ui.groupBox1);
  treeLayout->setContentsMargins(2, 2, 2, 2);
  m_ui.treeView1 = new QTreeView(m_ui.groupBox1);
  m_ui.treeView1->setObjectName(QStringLiteral("TreeView1"));
  m_ui.treeView1->setHeaderHidden(true);
  m_ui.treeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_ui.treeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  m_ui.treeView1->setUniformRowHeights(true);
  setInfoBackground(m_ui.treeView1);
  treeLayout->addWidget(m_ui.treeView1);
  layout->addWidget(m_ui.groupBox1, 1);

  // The period: a month of the log, or any days from the "from" to the "to".
  m_ui.groupBox2 = new QGroupBox(panel);
  m_ui.groupBox2->setObjectName(QStringLiteral("GroupBox2"));
  m_ui.groupBox2->setFixedHeight(kPeriodGroupHeight);
  m_ui.comboBox1 = new QComboBox(m_ui.groupBox2);
  m_ui.comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  m_ui.comboBox1->setGeometry(8, 20, kLeftPanelWidth - 20, 21);
  m_ui.label3 = new QLabel(m_ui.groupBox2);
  m_ui.label3->setObjectName(QStringLiteral("Label3"));
  m_ui.label3->setGeometry(8, 50, 36, 16);
  m_ui.dateTimePicker1 = new QDateEdit(m_ui.groupBox2);
  m_ui.dateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  m_ui.dateTimePicker1->setGeometry(44, 46, kLeftPanelWidth - 56, 21);
  m_ui.label4 = new QLabel(m_ui.groupBox2);
  m_ui.label4->setObjectName(QStringLiteral("Label4"));
  m_ui.label4->setGeometry(8, 76, 36, 16);
  m_ui.dateTimePicker2 = new QDateEdit(m_ui.groupBox2);
  m_ui.dateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
  m_ui.dateTimePicker2->setGeometry(44, 72, kLeftPanelWidth - 56, 21);
  for (QDateEdit* picker : {m_ui.dateTimePicker1, m_ui.dateTimePicker2}) {
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker->setCalendarPopup(true);
  }
  layout->addWidget(m_ui.groupBox2);

  auto* panel4 = fixedHeightPanel(kAnalysePanelHeight, panel);
  panel4->setObjectName(QStringLiteral("Panel4"));
  m_ui.button1 = new QPushButton(panel4);
  m_ui.button1->setObjectName(QStringLiteral("Button1"));
  m_ui.button1->setGeometry(40, 5, 75, 25);
  layout->addWidget(panel4);
  return panel;
}

QWidget* MainWindow::buildReportArea() {
  m_ui.groupBox4 = new QGroupBox;
  m_ui.groupBox4->setObjectName(QStringLiteral("GroupBox4"));
  auto* layout = new QVBoxLayout(m_ui.groupBox4);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(0);

  // "for: http://site/section"
  auto* panel3 = fixedHeightPanel(kTargetLineHeight, m_ui.groupBox4);
  panel3->setObjectName(QStringLiteral("Panel3"));
  auto* lineLayout = new QHBoxLayout(panel3);
  lineLayout->setContentsMargins(8, 0, 0, 0);
  lineLayout->setSpacing(0);
  m_ui.label7 = new QLabel(panel3);
  m_ui.label7->setObjectName(QStringLiteral("Label7"));
  m_ui.label7->setFixedWidth(36 - 8);
  m_ui.label8 = new QLabel(panel3);
  m_ui.label8->setObjectName(QStringLiteral("Label8"));
  m_ui.label8->setTextFormat(Qt::PlainText);  // an address from the log
  lineLayout->addWidget(m_ui.label7);
  lineLayout->addWidget(m_ui.label8, 1);
  layout->addWidget(panel3);

  auto* panel2 = new QWidget;
  panel2->setObjectName(QStringLiteral("Panel2"));
  auto* tableLayout = new QHBoxLayout(panel2);
  tableLayout->setContentsMargins(0, 0, 0, 0);
  tableLayout->setSpacing(0);
  m_ui.stringGrid1 = createTable("StringGrid1");
  tableLayout->addWidget(m_ui.stringGrid1, 1);
  tableLayout->addWidget(buildSidePanel(), 1);

  m_ui.groupBox5 = new QGroupBox;
  m_ui.groupBox5->setObjectName(QStringLiteral("GroupBox5"));
  auto* rawLayout = new QVBoxLayout(m_ui.groupBox5);
  rawLayout->setContentsMargins(2, 2, 2, 2);
  m_ui.stringGrid2 = createTable("StringGrid2");
  m_ui.stringGrid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
  rawLayout->addWidget(m_ui.stringGrid2);

  m_ui.splitter1 = new QSplitter(Qt::Vertical, m_ui.groupBox4);
  m_ui.splitter1->setObjectName(QStringLiteral("Splitter1"));
  m_ui.splitter1->setHandleWidth(3);
  m_ui.splitter1->setChildrenCollapsible(false);
  m_ui.splitter1->addWidget(panel2);
  m_ui.splitter1->addWidget(m_ui.groupBox5);
  m_ui.splitter1->setStretchFactor(0, 1);
  m_ui.splitter1->setStretchFactor(1, 0);
  m_ui.splitter1->setSizes({400, kRawLogHeight});
  layout->addWidget(m_ui.splitter1, 1);
  return m_ui.groupBox4;
}

QWidget* MainWindow::buildSidePanel() {
  m_ui.panel5 = new QWidget;
  m_ui.panel5->setObjectName(QStringLiteral("Panel5"));
  auto* layout = new QVBoxLayout(m_ui.panel5);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  m_ui.memo3 = new QPlainTextEdit(m_ui.panel5);
  m_ui.memo3->setObjectName(QStringLiteral("Memo3"));
  m_ui.memo3->setReadOnly(true);
  m_ui.memo3->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_ui.memo3->setFrameShape(QFrame::NoFrame);
  m_ui.memo3->setFixedHeight(kMemoHeight);
  m_ui.memo3->setAcceptDrops(false);
  layout->addWidget(m_ui.memo3);

  m_ui.chart1 = new QChartView(m_ui.panel5);
  m_ui.chart1->setObjectName(QStringLiteral("Chart1"));
  m_ui.chart1->setFixedHeight(kChartHeight);
  m_ui.chart1->setRenderHint(QPainter::Antialiasing);
  m_ui.chart1->setFrameShape(QFrame::NoFrame);
  m_ui.chart1->setBackgroundBrush(QColor(192, 192, 192));
  layout->addWidget(m_ui.chart1);
  layout->addStretch(1);

  auto* panel6 = fixedHeightPanel(kDetailsPanelHeight, m_ui.panel5);
  panel6->setObjectName(QStringLiteral("Panel6"));
  auto* buttonLayout = new QHBoxLayout(panel6);
  buttonLayout->setContentsMargins(0, 0, 0, 0);
  m_ui.button2 = new QPushButton(panel6);
  m_ui.button2->setObjectName(QStringLiteral("Button2"));
  m_ui.button2->setFixedSize(75, 25);
  buttonLayout->addStretch(1);
  buttonLayout->addWidget(m_ui.button2);
  buttonLayout->addStretch(1);
  layout->addWidget(panel6);
  return m_ui.panel5;
}

QTableView* MainWindow::createTable(const char* name) {
  auto* table = new QTableView;
  table->setObjectName(QLatin1String(name));
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setShowGrid(true);
  table->setWordWrap(false);
  table->setTextElideMode(Qt::ElideNone);
  table->setCornerButtonEnabled(false);
  table->setTabKeyNavigation(false);
  QHeaderView* rows = table->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(kRowHeight);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* columns = table->horizontalHeader();
  columns->setMinimumSectionSize(1);
  columns->setDefaultSectionSize(kDefaultColumnWidth);
  columns->setSectionResizeMode(QHeaderView::Interactive);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  columns->setHighlightSections(false);
  columns->setStretchLastSection(false);
  setInfoBackground(table);
  return table;
}

void MainWindow::buildFormatMenu() {
  // The texts come from the language pack once the form exists (nameFormatMenu).
  m_ui.formatMenu = m_ui.fileMenu->addMenu(QString());
  m_ui.formatMenu->setObjectName(QStringLiteral("LogFormat1"));
  auto* group = new QActionGroup(m_ui.formatMenu);
  QAction* automatic = m_ui.formatMenu->addAction(QString());
  m_ui.automaticFormat = automatic;
  automatic->setCheckable(true);
  automatic->setChecked(true);
  group->addAction(automatic);
  connect(automatic, &QAction::triggered, this, [this] { m_form->FormatChoice.reset(); });
  for (const char* name : {"combined", "vhost_combined", "combined_extra", "common"}) {
    tw::LogFormat format;
    QAction* action = m_ui.formatMenu->addAction(QString::fromLatin1(name));
    action->setCheckable(true);
    group->addAction(action);
    // Formats the parser cannot read yet stay greyed.
    action->setEnabled(tw::LogFormat::FromName(name, format));
    connect(action, &QAction::triggered, this, [this, format] { m_form->FormatChoice = format; });
  }
}

void MainWindow::nameFormatMenu() {
  m_ui.formatMenu->setTitle(fromCoreText(m_form->Lang.GetOr("mes13", "Log format")));
  m_ui.automaticFormat->setText(fromCoreText(m_form->Lang.GetOr("mes14", "Automatic")));
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  QStyle* theme = style();

  m_ui.fileMenu = bar->addMenu(QString());
  m_ui.fileMenu->setObjectName(QStringLiteral("File1"));
  m_ui.fileMenu->menuAction()->setStatusTip(longHint("File related commands"));
  m_ui.openAction = m_ui.fileMenu->addAction(theme->standardIcon(QStyle::SP_DialogOpenButton), QString());
  m_ui.openAction->setObjectName(QStringLiteral("FileOpen1"));
  m_ui.openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  m_ui.openAction->setStatusTip(longHint("Open|Open a file"));
  buildFormatMenu();
  m_ui.saveAction = m_ui.fileMenu->addAction(theme->standardIcon(QStyle::SP_DialogSaveButton), QString());
  m_ui.saveAction->setObjectName(QStringLiteral("FileSave1"));
  m_ui.saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  m_ui.saveAction->setStatusTip(longHint("Save|Save current file"));
  m_ui.exportAction = m_ui.fileMenu->addAction(QString());
  m_ui.exportAction->setObjectName(QStringLiteral("FileExport1"));
  m_ui.exportAction->setStatusTip(longHint("Export|Every report of the current choices as one HTML page"));
  m_ui.fileMenu->addSeparator();
  m_ui.exitAction = m_ui.fileMenu->addAction(QString());
  m_ui.exitAction->setObjectName(QStringLiteral("FileExit1"));
  m_ui.exitAction->setStatusTip(longHint("Exit|Exit application"));

  // Hidden: their keys belong to the focused control (Ctrl+C copies table rows).
  m_ui.editMenu = bar->addMenu(QString());
  m_ui.editMenu->setObjectName(QStringLiteral("Edit1"));
  const struct {
    const char* caption;
    QKeySequence keys;
  } kEditItems[] = {{"Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X)},
                    {"&Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
                    {"&Paste", QKeySequence(Qt::CTRL | Qt::Key_V)}};
  for (const auto& item : kEditItems) {
    QAction* action = m_ui.editMenu->addAction(QLatin1String(item.caption));
    action->setShortcut(item.keys);
    action->setShortcutContext(Qt::WidgetShortcut);
  }

  m_ui.settingsMenu = bar->addMenu(QString());
  m_ui.settingsMenu->setObjectName(QStringLiteral("Settings1"));
  m_ui.changeAction = m_ui.settingsMenu->addAction(QString());
  m_ui.changeAction->setObjectName(QStringLiteral("Change1"));

  m_ui.helpMenu = bar->addMenu(QString());
  m_ui.helpMenu->setObjectName(QStringLiteral("Help1"));
  m_ui.helpMenu->menuAction()->setStatusTip(longHint("Help topics"));
  m_ui.helpAction = m_ui.helpMenu->addAction(QString());
  m_ui.helpAction->setObjectName(QStringLiteral("Help2"));
  m_ui.helpMenu->addSeparator();
  m_ui.homePageAction = m_ui.helpMenu->addAction(QString());
  m_ui.homePageAction->setObjectName(QStringLiteral("HomePage1"));
  m_ui.aboutAction = m_ui.helpMenu->addAction(QString());
  m_ui.aboutAction->setObjectName(QStringLiteral("HelpAbout1"));
  m_ui.aboutAction->setStatusTip(longHint("About|About Quelmark Tallyweave"));
}
