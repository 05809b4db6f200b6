#include "app/generatortestwindow.h"

#include "app/programicon.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace app {

TForm6::TForm6(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_faces(&m_generator)
{
    setWindowTitle(QStringLiteral("Random generator check: double click to launch"));
    setWindowIcon(ProgramIcon());
    resize(820, 720);

    auto* layout = new QVBoxLayout(this);
    TopLabel = new QLabel(QStringLiteral("Rolling 1d100 a million times."), this);
    ValueChartView = MakeChart(
        QStringLiteral("The number of times each value was rolled"), ValueSeries, m_valueX, m_valueY);
    AverageLabel = new QLabel(QStringLiteral("Average value rolled: "), this);
    DifferenceChartView = MakeChart(QStringLiteral("The number of times each difference value between the "
                                                   "current roll and the previous was encountered"),
        DifferenceSeries, m_differenceX, m_differenceY);
    DifferenceLabel = new QLabel(QStringLiteral("Average difference:"), this);
    VerdictLabel = new QLabel(QStringLiteral("Double-click the window to launch."), this);
    QFont verdictFont = VerdictLabel->font();
    verdictFont.setBold(true);
    verdictFont.setPointSizeF(verdictFont.pointSizeF() * 1.5);
    VerdictLabel->setFont(verdictFont);
    VerdictLabel->setAlignment(Qt::AlignCenter);

    layout->addWidget(TopLabel);
    layout->addWidget(ValueChartView, 1);
    layout->addWidget(AverageLabel);
    layout->addWidget(DifferenceChartView, 1);
    layout->addWidget(DifferenceLabel);
    layout->addWidget(VerdictLabel);

    // Until the first run the empty charts have the scales a fair die fills: each face a hundredth of the
    // rolls, and the commonest difference (one) about twice that.
    constexpr int fairFaceCount = GeneratorTestResult::Rolls / GeneratorTestResult::Sides;
    ShowRanges(fairFaceCount, 2 * fairFaceCount);
}

QChartView* TForm6::MakeChart(
    const QString& title, QLineSeries*& series, QValueAxis*& xAxis, QValueAxis*& yAxis)
{
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->legend()->hide();
    series = new QLineSeries(chart);
    series->setPen(QPen(Qt::red, 1));
    chart->addSeries(series);
    xAxis = new QValueAxis(chart);
    yAxis = new QValueAxis(chart);
    xAxis->setLabelFormat(QStringLiteral("%d"));
    yAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
    // The view takes the chart over.
    auto* view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

void TForm6::ShowRanges(int largestValueCount, int largestDifferenceCount)
{
    m_valueX->setRange(1, GeneratorTestResult::Sides);
    m_valueY->setRange(0, std::max(1, largestValueCount));
    m_differenceX->setRange(0, GeneratorTestResult::Sides - 1);
    m_differenceY->setRange(0, std::max(1, largestDifferenceCount));
    for (QValueAxis* axis : { m_valueX, m_valueY, m_differenceX, m_differenceY })
        axis->applyNiceNumbers();
}

void TForm6::SetFaceSource(dice::FaceSource* faces)
{
    m_faces = faces ? faces : &m_generator;
}

void TForm6::RunTest()
{
    ValueSeries->clear();
    DifferenceSeries->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const GeneratorTestResult result = RunGeneratorTest(*m_faces);
    QApplication::restoreOverrideCursor();

    QList<QPointF> values;
    QList<QPointF> differences;
    int largestDifference = 0;
    for (int i = 0; i < GeneratorTestResult::Sides; ++i) {
        const auto index = static_cast<std::size_t>(i);
        values.append(QPointF(i + 1, result.ValueCounts[index]));
        differences.append(QPointF(i, result.DifferenceCounts[index]));
        largestDifference = std::max(largestDifference, result.DifferenceCounts[index]);
    }
    ValueSeries->replace(values);
    DifferenceSeries->replace(differences);
    ShowRanges(result.LargestCount, largestDifference);

    AverageLabel->setText(AverageValueText(result));
    DifferenceLabel->setText(AverageDifferenceText(result));
    VerdictLabel->setText(VerdictText(result));
}

void TForm6::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    RunTest();
}

} // namespace app
