// The generator check: its statistics and verdict on the bot's generator and on broken face sources, and
// the test window run by a double-click.

#include "app/generatortest.h"
#include "app/generatortestwindow.h"
#include "dice/randomsource.h"

#include <QChartView>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace {

using app::GeneratorTestResult;
using app::RunGeneratorTest;

class ConstantFaces final : public dice::FaceSource {
public:
    explicit ConstantFaces(int face)
        : m_face(face)
    {
    }
    int Roll(int) override { return m_face; }

private:
    int m_face;
};

// Faces 1, 2, .. 100, 1, 2, ..: every face equally often, but always one apart.
class CyclingFaces final : public dice::FaceSource {
public:
    int Roll(int sides) override { return m_next++ % sides + 1; }

private:
    int m_next = 0;
};

TEST(GeneratorTest, TheBotsGeneratorPassesFromItsDefaultSeedAndRepeatsItself)
{
    dice::ResetGeneratorForTests();
    dice::GeneratorFaces faces;
    const GeneratorTestResult first = RunGeneratorTest(faces);
    EXPECT_TRUE(first.Passed);
    EXPECT_EQ(std::accumulate(first.ValueCounts.begin(), first.ValueCounts.end(), 0), 1000000);
    EXPECT_EQ(std::accumulate(first.DifferenceCounts.begin(), first.DifferenceCounts.end(), 0), 999999);
    EXPECT_NEAR(first.AverageValue, 50.5, 0.1);
    EXPECT_NEAR(first.AverageDifference, 33.33, 0.07);
    EXPECT_EQ(first.LargestCount, *std::max_element(first.ValueCounts.begin(), first.ValueCounts.end()));
    EXPECT_EQ(first.SmallestCount, *std::min_element(first.ValueCounts.begin(), first.ValueCounts.end()));

    // A run right after the start of the program always gives the same numbers; the next one does not.
    const GeneratorTestResult second = RunGeneratorTest(faces);
    dice::ResetGeneratorForTests();
    const GeneratorTestResult again = RunGeneratorTest(faces);
    EXPECT_EQ(again.ValueCounts, first.ValueCounts);
    EXPECT_EQ(again.DifferenceSum, first.DifferenceSum);
    EXPECT_NE(second.ValueCounts, first.ValueCounts);
}

TEST(GeneratorTest, AConstantGeneratorFailsOnEveryCount)
{
    ConstantFaces sevens(7);
    const GeneratorTestResult result = RunGeneratorTest(sevens);
    EXPECT_FALSE(result.Passed);
    EXPECT_EQ(result.ValueCounts[6], 1000000);
    EXPECT_EQ(result.LargestCount, 1000000);
    EXPECT_EQ(result.SmallestCount, 0);
    EXPECT_EQ(result.DifferenceCounts[0], 999999);
    EXPECT_EQ(app::AverageValueText(result),
        "Average value rolled: 7.0000. Maximal number of repetitions: 1000000. Minimal number of "
        "repetitions: 0.");
    EXPECT_EQ(app::AverageDifferenceText(result), "Average difference: 0.0000");
    EXPECT_EQ(app::VerdictText(result), "TEST FAILED");
}

TEST(GeneratorTest, EvenCountsWithTheWrongDifferencesFail)
{
    CyclingFaces cycle;
    const GeneratorTestResult result = RunGeneratorTest(cycle);
    EXPECT_EQ(result.LargestCount, 10000);
    EXPECT_EQ(result.SmallestCount, 10000);
    EXPECT_DOUBLE_EQ(result.AverageValue, 50.5);
    // 990000 steps of one and 9999 wraps of 99, over the million rolls.
    EXPECT_EQ(result.DifferenceSum, 990000 + 9999 * 99);
    EXPECT_EQ(app::AverageDifferenceText(result), "Average difference: 1.9799");
    EXPECT_FALSE(result.Passed);
}

TEST(GeneratorTest, FacesOutsideTheDieAreNotCountedAndFail)
{
    ConstantFaces broken(101);
    const GeneratorTestResult result = RunGeneratorTest(broken);
    EXPECT_EQ(result.OutOfRange, 1000000);
    EXPECT_EQ(std::accumulate(result.ValueCounts.begin(), result.ValueCounts.end(), 0), 0);
    EXPECT_FALSE(result.Passed);
    ConstantFaces zero(0);
    EXPECT_EQ(RunGeneratorTest(zero).OutOfRange, 1000000);
}

QList<QPointF> Points(const QLineSeries* series)
{
    return series->points();
}

// The numbers written along one axis of a chart, in their order on screen.
QStringList AxisLabels(QChartView* view, Qt::Orientation orientation)
{
    const QRectF plot = view->chart()->plotArea();
    QList<std::pair<qreal, QString>> labels;
    for (QGraphicsItem* item : view->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty())
            continue;
        const QRectF at = text->sceneBoundingRect();
        if (orientation == Qt::Horizontal && at.top() >= plot.bottom())
            labels.append({ at.center().x(), text->toPlainText() });
        else if (orientation == Qt::Vertical && at.right() <= plot.left())
            labels.append({ -at.center().y(), text->toPlainText() });
    }
    std::sort(labels.begin(), labels.end());
    QStringList texts;
    for (const auto& label : labels)
        texts.append(label.second);
    return texts;
}

struct AxisCase {
    const char* axis;
    QChartView* app::TForm6::*chart;
    Qt::Orientation orientation;
    int first; // the labels start at or below it
    int last; // and end at or above it
};

const AxisCase Axes[] = {
    { "faces", &app::TForm6::ValueChartView, Qt::Horizontal, 1, 100 },
    { "counts of faces", &app::TForm6::ValueChartView, Qt::Vertical, 0, 1 },
    { "differences", &app::TForm6::DifferenceChartView, Qt::Horizontal, 0, 99 },
    { "counts of differences", &app::TForm6::DifferenceChartView, Qt::Vertical, 0, 1 },
};

TEST(GeneratorTestWindow, BeforeTheFirstRunTheAxesSpanTheFacesDifferencesAndCountsOfARun)
{
    app::TForm6 window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QMap<QString, QStringList> before;
    for (const AxisCase& row : Axes) {
        SCOPED_TRACE(row.axis);
        const QStringList labels = AxisLabels(window.*row.chart, row.orientation);
        ASSERT_GE(labels.size(), 2) << labels.join(u' ').toStdString();
        QStringList distinct = labels;
        EXPECT_EQ(distinct.removeDuplicates(), 0) << labels.join(u' ').toStdString();
        EXPECT_LE(labels.first().toInt(), row.first);
        EXPECT_GE(labels.last().toInt(), row.last);
        if (row.orientation == Qt::Vertical) {
            EXPECT_EQ(labels.first(), "0");
        }
        before.insert(row.axis, labels);
    }

    // A run keeps the faces and differences where they were.
    dice::ResetGeneratorForTests();
    window.RunTest();
    QCoreApplication::processEvents();
    EXPECT_EQ(AxisLabels(window.ValueChartView, Qt::Horizontal), before.value("faces"));
    EXPECT_EQ(AxisLabels(window.DifferenceChartView, Qt::Horizontal), before.value("differences"));
}

TEST(GeneratorTestWindow, ADoubleClickRunsTheTestAndShowsItsOutcome)
{
    app::TForm6 window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Random generator check: double click to launch");
    EXPECT_EQ(window.TopLabel->text(), "Rolling 1d100 a million times.");
    EXPECT_EQ(window.AverageLabel->text(), "Average value rolled: ");
    EXPECT_EQ(window.DifferenceLabel->text(), "Average difference:");
    EXPECT_EQ(window.VerdictLabel->text(), "Double-click the window to launch.");
    EXPECT_TRUE(window.VerdictLabel->font().bold());

    dice::ResetGeneratorForTests();
    QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(window.VerdictLabel->text(), "TEST PASSED");
    EXPECT_TRUE(QRegularExpression("^Average value rolled: 50\\.\\d{4}\\. Maximal number of repetitions: "
                                   "1\\d{4}\\. Minimal number of repetitions: \\d{4}\\.$")
                    .match(window.AverageLabel->text())
                    .hasMatch())
        << window.AverageLabel->text().toStdString();
    EXPECT_TRUE(QRegularExpression("^Average difference: 33\\.\\d{4}$")
                    .match(window.DifferenceLabel->text())
                    .hasMatch())
        << window.DifferenceLabel->text().toStdString();

    const QList<QPointF> values = Points(window.ValueSeries);
    const QList<QPointF> differences = Points(window.DifferenceSeries);
    ASSERT_EQ(values.size(), 100);
    ASSERT_EQ(differences.size(), 100);
    EXPECT_EQ(values.first().x(), 1);
    EXPECT_EQ(values.last().x(), 100);
    EXPECT_EQ(differences.first().x(), 0);
    EXPECT_EQ(differences.last().x(), 99);
    double rolls = 0;
    for (const QPointF& point : values)
        rolls += point.y();
    EXPECT_EQ(rolls, 1000000);
}

TEST(GeneratorTestWindow, AConstantGeneratorGetsTestFailedAndEachRunStartsAfresh)
{
    app::TForm6 window;
    window.show();
    ConstantFaces sevens(7);
    window.SetFaceSource(&sevens);
    QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(window.VerdictLabel->text(), "TEST FAILED");
    EXPECT_EQ(window.DifferenceLabel->text(), "Average difference: 0.0000");
    EXPECT_EQ(Points(window.ValueSeries).at(6).y(), 1000000);

    // The charts of a second run hold that run alone.
    ConstantFaces nines(9);
    window.SetFaceSource(&nines);
    QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_EQ(Points(window.ValueSeries).size(), 100);
    EXPECT_EQ(Points(window.ValueSeries).at(6).y(), 0);
    EXPECT_EQ(Points(window.ValueSeries).at(8).y(), 1000000);
    EXPECT_TRUE(window.AverageLabel->text().startsWith("Average value rolled: 9.0000."));

    // Back on the bot's generator.
    window.SetFaceSource(nullptr);
    window.RunTest();
    EXPECT_EQ(window.VerdictLabel->text(), "TEST PASSED");
}

} // namespace
