// The hard-copy canvases take a chart picture scaled down, never up, to the picture box their
// printed page leaves, keeping its shape and its pixel ratio.
#include "gui/analyser/analyser_chart_canvas.h"
#include "gui/comparator/comparison_chart_canvas.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using kestrana::gui::analyser::AnalyserChartCanvas;
using kestrana::gui::comparator::ComparisonChartCanvas;

QPixmap pictureOf(int width, int height, qreal ratio = 1.0) {
    QPixmap picture(width, height);
    picture.fill(Qt::darkBlue);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

TEST(PictureCanvas, ALargePictureShrinksIntoTheBoxKeepingItsShape) {
    AnalyserChartCanvas analyser;
    EXPECT_EQ(analyser.objectName(), QStringLiteral("AnalyserChartCanvas"));
    EXPECT_EQ(analyser.pictureBox->size(), QSize(560, 420));
    analyser.takePicture(pictureOf(1200, 600));
    EXPECT_EQ(analyser.picture().size(), QSize(560, 280));
    EXPECT_EQ(analyser.pictureBox->pixmap().size(), QSize(560, 280));

    ComparisonChartCanvas comparator;
    EXPECT_EQ(comparator.objectName(), QStringLiteral("ComparisonChartCanvas"));
    comparator.takePicture(pictureOf(1940, 1080));
    EXPECT_EQ(comparator.picture().size(), QSize(485, 270));
}

TEST(PictureCanvas, APictureThatFitsIsTakenAsItIs) {
    ComparisonChartCanvas canvas;
    canvas.takePicture(pictureOf(300, 200));
    EXPECT_EQ(canvas.picture().size(), QSize(300, 200));
    // A picture of a display with two pixels to a point fits when its points fit.
    canvas.takePicture(pictureOf(1940, 540, 2.0));
    EXPECT_EQ(canvas.picture().size(), QSize(1940, 540));
    canvas.takePicture(pictureOf(3880, 1080, 2.0));
    EXPECT_EQ(canvas.picture().size(), QSize(1940, 540));
    EXPECT_EQ(canvas.picture().devicePixelRatio(), 2.0);
    canvas.takePicture(QPixmap());
    EXPECT_TRUE(canvas.picture().isNull());
}

} // namespace
