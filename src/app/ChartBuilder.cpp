#include "ChartBuilder.h"

#include <QGraphicsLayout>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "present/chart_axis.h"

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

// Ticks at the multiples of the step, labelled as whole numbers.
QValueAxis* wholeNumberAxis(const tw::AxisTicks& ticks) {
  auto* axis = new QValueAxis;
  axis->setRange(ticks.Min, ticks.Max);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(ticks.Step);
  axis->setLabelFormat(QStringLiteral("%.0f"));
  return axis;
}

void addLines(QChart* chart, const tw::ChartSeries& source) {
  double minX = 0, maxX = 1, maxY = 0;
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

  auto* axisX = wholeNumberAxis(tw::WholeNumberAxis(minX, maxX, false));
  auto* axisY = wholeNumberAxis(tw::WholeNumberAxis(0, maxY, true));
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
