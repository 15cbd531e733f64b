#include <gtest/gtest.h>

#include <QPainter>
#include <QtMath>

#include "controls/audio_record.h"
#include "controls/chart_view.h"
#include "controls/circle_progress.h"
#include "controls/render_engine.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

constexpr QRgb kBack = 0xFF202020;  // control background colour
constexpr QRgb kFore = 0xFF19C3FF;  // ring colour

struct Ring {
    explicit Ring(int value, int min = 0, int max = 100) {
        ring.resize(100, 100);
        ring.SetBkColor(kBack);
        ring.SetForeColor(kFore);
        ring.SetRange(min, max);
        ring.SetValue(value);
        image = test::Paint(&ring);
    }
    // The colour on the ring (radius 45 of 50) at a clock angle in degrees, 0 = six o'clock,
    // growing clockwise on screen.
    QRgb At(double clockwiseFromSix) const {
        const double a = qDegreesToRadians(90.0 + clockwiseFromSix);  // screen angle, y down
        const int x = qRound(50 + 45 * std::cos(a));
        const int y = qRound(50 + 45 * std::sin(a));
        return image.pixel(x, y);
    }
    CCircleProgressUI ring;
    QImage image;
};

TEST(CircleProgress, QuarterRingRunsFromSixToNineOClock) {
    const Ring r(25);
    EXPECT_EQ(r.ring.SweepDegrees(), 90);
    for (double angle : {5.0, 45.0, 85.0}) EXPECT_EQ(r.At(angle), kFore) << angle;
    for (double angle : {95.0, 180.0, 270.0, 355.0}) EXPECT_EQ(r.At(angle), kBack) << angle;
    // Screen check of the direction: nine o'clock is the left side.
    EXPECT_EQ(r.image.pixel(7, 52), kFore);
    EXPECT_EQ(r.image.pixel(93, 52), kBack);
    EXPECT_EQ(r.image.pixel(50, 50), 0xFFFFFFFF) << "white centre";
    EXPECT_EQ(r.image.pixel(1, 1), 0xFF000000) << "corners outside the disc stay unpainted";
}

TEST(CircleProgress, SweepFollowsValueOverRange) {
    struct Case {
        int value, min, max, sweep;
    };
    const Case cases[] = {
        {0, 0, 100, 0},     {25, 0, 100, 90}, {50, 0, 100, 180},
        {100, 0, 100, 360}, {1, 0, 3, 120},   {2, 0, 7, 102},  // 102.86 is cut to whole degrees
        {150, 0, 100, 360},                                    // beyond the range stays a full ring
        {-5, 0, 100, 0},    {5, 5, 5, 0},  // an empty range shows nothing instead of dividing by 0
    };
    for (const Case& c : cases) {
        CCircleProgressUI ring;
        ring.SetRange(c.min, c.max);
        ring.SetValue(c.value);
        EXPECT_EQ(ring.SweepDegrees(), c.sweep) << c.value << "/" << c.min << ".." << c.max;
    }
}

TEST(CircleProgress, ZeroShowsOnlyDiscAndWhiteCentre) {
    const Ring r(0);
    for (double angle = 0; angle < 360; angle += 30) EXPECT_EQ(r.At(angle), kBack) << angle;
    EXPECT_EQ(r.image.pixel(50, 50), 0xFFFFFFFF);
}

TEST(CircleProgress, FullRingAndForeImageNeverDrawn) {
    Ring r(100);
    for (double angle = 0; angle < 360; angle += 30) EXPECT_EQ(r.At(angle), kFore) << angle;
    r.ring.SetAttribute("foreimage", "images/key_set.svg");
    EXPECT_EQ(test::Paint(&r.ring), r.image);
}

TEST(AudioRecord, DrawsOneLinePerSampleEveryTwoPixels) {
    CAudioRecordUI audio;
    ASSERT_EQ(audio.Samples()[0], 0);
    ASSERT_EQ(audio.Samples()[255], 255);
    ASSERT_EQ(audio.Samples()[256], 0);
    audio.resize(600, 8192 / 64);  // H = 128: sample v is v * 128 / 8192 = v / 64 pixels tall
    const QImage image = test::Paint(&audio);
    const int h = audio.height();
    auto blackRun = [&](int x) {
        int run = 0;
        for (int y = h - 1; y >= 0 && image.pixel(x, y) == 0xFF000000; --y) ++run;
        return run;
    };
    EXPECT_EQ(blackRun(0), 1) << "sample 0 marks only the floor";
    EXPECT_EQ(blackRun(2 * 64), 1);   // sample 64: 1 pixel
    EXPECT_EQ(blackRun(2 * 128), 2);  // sample 128: 2 pixels
    EXPECT_EQ(blackRun(2 * 255), 3);  // sample 255: 255*128/8192 = 3
    EXPECT_EQ(image.pixel(1, h - 1), 0xFFFFFFFF) << "odd columns stay white";
    EXPECT_EQ(image.pixel(2 * 255, h - 4), 0xFFFFFFFF);
}

TEST(ChartView, ViewValuesAreCaseSensitive) {
    struct Step {
        const char* value;
        int view;
    };
    // Applied in order to one control: unknown values keep the previous view.
    const Step steps[] = {{"histpgram", 1}, {"Pie", 1}, {"pie", 0},      {"Histpgram", 0},
                          {"histogram", 0}, {"", 0},    {"histpgram", 1}};
    CChartViewUI chart;
    EXPECT_EQ(chart.GetView(), 0);
    for (const Step& s : steps) {
        chart.SetAttribute("view", s.value);
        EXPECT_EQ(chart.GetView(), s.view) << s.value;
    }
}

TEST(ChartView, AttributesAndBaseFallThrough) {
    CChartViewUI chart;
    EXPECT_TRUE(chart.IsShowText());
    EXPECT_FALSE(chart.IsShowHtml());
    EXPECT_EQ(chart.GetFontIndex(), -1);
    chart.SetAttribute("showtext", "TRUE");
    EXPECT_FALSE(chart.IsShowText()) << "only \"true\" is true";
    chart.SetAttribute("showhtml", "true");
    chart.SetAttribute("shadowimageheight", "12");
    chart.SetAttribute("pillarimagewidth", "9");
    chart.SetAttribute("font", "4");
    chart.SetAttribute("bkcolor", "#FF102030");
    EXPECT_TRUE(chart.IsShowHtml());
    EXPECT_EQ(chart.GetShadowImageHeight(), 12);
    EXPECT_EQ(chart.GetPillarImageWidth(), 9);
    EXPECT_EQ(chart.GetFontIndex(), 4);
    EXPECT_EQ(chart.GetBkColor(), 0xFF102030u);
    EXPECT_EQ(chart.GetClass(), "Control");
}

TEST(ChartView, HistogramShadowStripSitsAboveTheTextStrip) {
    CChartViewUI chart;
    chart.resize(100, 100);
    chart.SetAttribute("view", "histpgram");
    chart.SetAttribute("shadowimage", "images/check_on.svg");  // opaque cyan square
    chart.SetAttribute("shadowimageheight", "10");
    const QImage withText = test::Paint(&chart);
    // Text strip 25 high: the shadow covers rows 65..74.
    EXPECT_NE(withText.pixel(50, 70), 0xFF000000);
    EXPECT_EQ(withText.pixel(50, 60), 0xFF000000);
    EXPECT_EQ(withText.pixel(50, 80), 0xFF000000);
    chart.SetAttribute("showtext", "false");
    const QImage noText = test::Paint(&chart);
    EXPECT_NE(noText.pixel(50, 95), 0xFF000000);
    EXPECT_EQ(noText.pixel(50, 85), 0xFF000000);
}

TEST(ChartView, MissingShadowImageIsForgotten) {
    CChartViewUI chart;
    chart.resize(100, 100);
    chart.SetAttribute("view", "histpgram");
    chart.SetAttribute("shadowimage", "images/no_such_file.svg");
    chart.SetAttribute("shadowimageheight", "10");
    test::Paint(&chart);
    EXPECT_TRUE(chart.GetShadowImage().isEmpty());
}

TEST(ImageDescription, ParsesTheDescriptionKeys) {
    const auto d = ImageDescription::Parse(
        "file='a.svg' source='1,2,11,22' dest='3,4,13,24' corner='1,2,3,4' fade='128' "
        "hole='true' xtiled='true' restype='png' mask='#FFFF00FF'");
    EXPECT_EQ(d.file, "a.svg");
    EXPECT_EQ(d.source, QRect(1, 2, 10, 20));
    EXPECT_EQ(d.dest, QRect(3, 4, 10, 20));
    EXPECT_EQ(d.corner, QMargins(1, 2, 3, 4));
    EXPECT_EQ(d.fade, 128);
    EXPECT_TRUE(d.hole);
    EXPECT_TRUE(d.xtiled);
    EXPECT_FALSE(d.ytiled);

    EXPECT_EQ(ImageDescription::Parse("images/plain.svg").file, "images/plain.svg");
    const auto bad = ImageDescription::Parse("res=\"x.png\" source='1,2,3' dest='a,b,c,d'");
    EXPECT_EQ(bad.file, "x.png");
    EXPECT_TRUE(bad.source.isNull());
    EXPECT_TRUE(bad.dest.isNull());
    EXPECT_TRUE(ImageDescription::Parse("file='unterminated").file.isEmpty());
}

TEST(RenderEngine, DestIsRelativeToTheControlAndCutToIt) {
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    const QRect control(10, 10, 40, 40);
    ASSERT_TRUE(render::DrawImageString(painter, control, image.rect(),
                                        "file='images/check_on.svg' dest='30,30,60,60'"));
    painter.end();
    EXPECT_NE(image.pixel(42, 42), 0xFF000000);  // inside dest and control
    EXPECT_EQ(image.pixel(52, 52), 0xFF000000);  // dest beyond the control is cut
    EXPECT_EQ(image.pixel(35, 35), 0xFF000000);  // before dest
}

TEST(RenderEngine, ColourParsing) {
    struct Case {
        const char* text;
        bool ok;
        quint32 argb;
    };
    const Case cases[] = {
        {"#FF112233", true, 0xFF112233},
        {"#112233", true, 0xFF112233},
        {"0x80112233", true, 0x80112233},
        {"112233", true, 0xFF112233},
        {"#12345", false, 0},
        {"#GG112233", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        quint32 argb = 0;
        EXPECT_EQ(render::ParseColor(c.text, &argb), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(argb, c.argb) << c.text;
        }
    }
}

}  // namespace
}  // namespace rerov::ui
