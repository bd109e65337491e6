#include "ChartBuilder.h"

#include <QGraphicsLayout>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace {

QColor toColor(tw::Rgb rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

QPieSeries* buildPie(const tw::ChartSeries& source) {
  auto* pie = new QPieSeries;
  for (const tw::PieSlice& slice : source.Pie) {
    QPieSlice* added = pie->append(QString(), slice.Value);
    added->setColor(toColor(slice.Colour));
    added->setBorderColor(Qt::black);
    added->setBorderWidth(1);
    added->setLabelVisible(false);
  }
  pie->setPieSize(0.9);
  return pie;
}

void addLines(QChart* chart, const tw::ChartSeries& source) {
  double minX = 0, maxX = 1, maxY = 1;
  bool first = true;
  for (const tw::LineSeries& line : source.Lines) {
    auto* series = new QLineSeries;
    QPen pen(toColor(line.Colour));
    pen.setWidth(2);
    series->setPen(pen);
    for (const tw::LinePoint& point : line.Points) {
      series->append(point.X, point.Y);
      minX = first ? point.X : std::min(minX, point.X);
      maxX = first ? point.X : std::max(maxX, point.X);
      maxY = std::max(maxY, point.Y);
      first = false;
    }
    chart->addSeries(series);
  }
  if (maxX <= minX) maxX = minX + 1;

  auto* axisX = new QValueAxis;
  axisX->setRange(minX, maxX);
  axisX->setLabelFormat(QStringLiteral("%i"));
  axisX->setTickCount(std::min(6, static_cast<int>(maxX - minX) + 1));
  auto* axisY = new QValueAxis;
  axisY->setRange(0, maxY);
  axisY->setLabelFormat(QStringLiteral("%i"));
  axisY->applyNiceNumbers();
  for (QValueAxis* axis : {axisX, axisY}) {
    QFont font = axis->labelsFont();
    font.setPointSize(7);
    axis->setLabelsFont(font);
    axis->setLabelsVisible(source.AxesVisible);
  }
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(axisX);
    series->attachAxis(axisY);
  }
}

}  // namespace

QChart* buildChart(const tw::ChartSeries& source) {
  auto* chart = new QChart;
  if (source.HasPie) {
    chart->addSeries(buildPie(source));
  } else if (!source.Lines.empty()) {
    addLines(chart, source);
  }
  chart->legend()->hide();
  chart->setTitle(QString());
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundBrush(QColor(192, 192, 192));
  chart->setBackgroundRoundness(0);
  chart->setPlotAreaBackgroundBrush(Qt::white);
  chart->setPlotAreaBackgroundVisible(true);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  return chart;
}
