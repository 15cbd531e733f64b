// The window background chosen in the skin button's pop-up with rerovctl app ui, as a person
// would, and shown again when the program starts the next time.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

class SkinE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        ASSERT_TRUE(pictures_.isValid());
    }
    RunOutcome Ctl(const QStringList& arguments) { return Rerovctl(sandbox_, arguments); }
    void Click(const QString& name) {
        const RunOutcome run = Ctl({"app", "ui", "click", name});
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << ": " << Text(run);
    }
    // The colour of the window's left margin beside the device page, where only the
    // window's own background shows.
    QRgb MarginColour(const char* name) {
        const QString path = pictures_.filePath(QLatin1String(name));
        const RunOutcome run = Ctl({"app", "screenshot", path});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        const QImage picture(path);
        EXPECT_FALSE(picture.isNull());
        if (picture.isNull()) return 0;
        return picture.pixel(3, picture.height() * 3 / 4) & 0xFFFFFFu;
    }
    bool Listed(const QString& name) {
        const RunOutcome run = Ctl({"app", "ui", "list", "--json"});
        for (const QJsonValue& row : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
            if (row.toObject().value("name").toString() == name) return true;
        }
        return false;
    }

    Sandbox sandbox_;
    QTemporaryDir pictures_;
};

TEST_F(SkinE2e, AColourChosenInThePopUpIsShownAndKeptOverARestart) {
    QRgb before = 0;
    {
        auto program = StartAnswering(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program);
        before = MarginColour("before.png");
        EXPECT_FALSE(Listed("skin_tab")) << "closed until the button is clicked";
        Click("skinbtn");
        ASSERT_TRUE(Listed("skin_tab"));
        Click("skin_color");
        Click("skin_color_btn#3");
        EXPECT_EQ(MarginColour("chosen.png"), 0x0F241Eu);
        ASSERT_EQ(Ctl({"app", "quit"}).exitCode, 0);
        ASSERT_TRUE(program->WaitForEnd(kRunMs));
    }
    EXPECT_NE(before, 0x0F241Eu);
    {
        auto program = StartAnswering(sandbox_, {"--simulate=keyboard"});
        ASSERT_TRUE(program);
        EXPECT_EQ(MarginColour("restarted.png"), 0x0F241Eu) << "the choice came back";
        // The default again, also kept.
        Click("skinbtn");
        Click("skin_reset");
        EXPECT_EQ(MarginColour("reset.png"), before);
        ASSERT_EQ(Ctl({"app", "quit"}).exitCode, 0);
        ASSERT_TRUE(program->WaitForEnd(kRunMs));
    }
    auto program = StartAnswering(sandbox_, {"--simulate=keyboard"});
    ASSERT_TRUE(program);
    EXPECT_EQ(MarginColour("default.png"), before);
}

}  // namespace
}  // namespace rerov::e2e
