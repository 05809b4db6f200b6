#pragma once

// The random generator test window.

#include "app/generatortest.h"
#include "dice/pools.h"

#include <QLabel>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace app {

// Rolls a hundred-sided die a million times when double-clicked, charts how often each face and each
// difference between consecutive faces came up, and judges the generator against fixed bounds. It blocks
// the program while it runs (well under a second) and has no effect on the bot.
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    // Where the faces of the next runs come from; nullptr for the bot's generator (the default). The
    // source must outlive the runs.
    void SetFaceSource(dice::FaceSource* faces);

    // One run: clears the charts, rolls and shows the outcome.
    void RunTest();

    QLabel* TopLabel;
    QChartView* ValueChartView;
    QLineSeries* ValueSeries;
    QLabel* AverageLabel;
    QChartView* DifferenceChartView;
    QLineSeries* DifferenceSeries;
    QLabel* DifferenceLabel;
    QLabel* VerdictLabel;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QChartView* MakeChart(const QString& title, QLineSeries*& series, QValueAxis*& xAxis, QValueAxis*& yAxis);
    // Faces 1 to 100 and differences 0 to 99 across, counts from 0 up to the largest one.
    void ShowRanges(int largestValueCount, int largestDifferenceCount);

    dice::GeneratorFaces m_generator;
    dice::FaceSource* m_faces;
    QValueAxis* m_valueX;
    QValueAxis* m_valueY;
    QValueAxis* m_differenceX;
    QValueAxis* m_differenceY;
};

} // namespace app
