// The message box: its buttons and answers, its texts from language keys or as given, its
// DPI, the download report, and that it is a modal window the remote UI reaches.

#include "shell/dialogs/msg_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "controls/language_texts.h"
#include "controls/skin_setup.h"
#include "shell/remote_ui/control_inventory.h"
#include "tests/shell/shell_test_support.h"

namespace rerov::shell {
namespace {

// What the box looked like while it was open.
struct SeenBox {
    bool seen = false;
    QString windowName;
    QString title;
    QString text;
    bool cancelVisible = false;
    bool confirmVisible = false;
    QSize size;
    bool listedAsOpenWindow = false;
};

QString LabelText(QWidget* window, const char* name) {
    auto* label = window->findChild<QLabel*>(QLatin1String(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

// Once the box is open, records how it looks and clicks the control named `answer` (a
// button of the box), as a person would.
void AnswerBox(const QString& answer, SeenBox* seen) {
    QTimer::singleShot(0, [answer, seen] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            AnswerBox(answer, seen);  // not shown yet: look again on the next round
            return;
        }
        seen->seen = true;
        seen->windowName = box->objectName();
        seen->title = LabelText(box, "MessageTitle");
        seen->text = LabelText(box, "MessageText");
        QWidget* cancel = box->findChild<QWidget*>(QStringLiteral("cancel_btn"));
        QWidget* confirm = box->findChild<QWidget*>(QStringLiteral("confirm_btn"));
        seen->cancelVisible = cancel != nullptr && cancel->isVisible();
        seen->confirmVisible = confirm != nullptr && confirm->isVisible();
        seen->size = box->size();
        seen->listedAsOpenWindow =
            remote_ui::OpenWindows(nullptr).contains(box) && remote_ui::TopModalWindow() == box;
        QWidget* button = box->findChild<QWidget*>(answer);
        ASSERT_NE(button, nullptr) << answer.toStdString();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    });
}

class MessageBox : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml"))); }
};

TEST_F(MessageBox, EachButtonGivesItsAnswer) {
    struct Case {
        MsgButtons buttons;
        const char* press;
        int answer;
        bool cancelShown;
    };
    const Case cases[] = {
        {MsgButtons::ConfirmOnly, "confirm_btn", kMsgConfirmed, false},
        {MsgButtons::ConfirmCancel, "confirm_btn", kMsgConfirmed, true},
        {MsgButtons::ConfirmCancel, "cancel_btn", kMsgDeclined, true},
        {MsgButtons::ConfirmCancel, "closebtn", kMsgDeclined, true},
        {MsgButtons::ConfirmOnly, "closebtn", kMsgDeclined, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        SeenBox seen;
        AnswerBox(QLatin1String(c.press), &seen);
        const int answer = ShowMessageBox(nullptr, QString(), QStringLiteral("message_text_29"),
                                          kDesignDpi, MsgText::LanguageKey, c.buttons);
        ASSERT_TRUE(seen.seen);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(seen.cancelVisible, c.cancelShown);
        EXPECT_TRUE(seen.confirmVisible);
        EXPECT_EQ(seen.windowName, "MsgWnd");
        EXPECT_TRUE(seen.listedAsOpenWindow) << "the remote UI reaches the box";
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "every box closed";
}

TEST_F(MessageBox, ShowsALanguageTextOrTheTextAsGiven) {
    SeenBox seen;
    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowMessageBox(nullptr, QString(), QStringLiteral("message_text_25"), kDesignDpi,
                   MsgText::LanguageKey, MsgButtons::ConfirmOnly);
    EXPECT_EQ(seen.text, ui::Tr(QStringLiteral("message_text_25")));
    EXPECT_NE(seen.text, "message_text_25") << "the key has an English text";
    EXPECT_EQ(seen.title, ui::Tr(QStringLiteral("msg_title"))) << "empty title: the layout's";

    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowMessageBox(nullptr, QStringLiteral("Import"), QStringLiteral("message_text_25"), kDesignDpi,
                   MsgText::Literal, MsgButtons::ConfirmOnly);
    EXPECT_EQ(seen.text, "message_text_25") << "a literal text is not looked up";
    EXPECT_EQ(seen.title, "Import");

    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowMessageBox(nullptr, QString(), QString(), kDesignDpi, MsgText::Literal,
                   MsgButtons::ConfirmOnly);
    EXPECT_EQ(seen.text, ui::Tr(QStringLiteral("msg_text"))) << "empty text: the layout's";
}

TEST_F(MessageBox, TakesOnlyTheSupportedDpis) {
    struct Case {
        int dpi;
        int drawnAt;
    };
    const Case cases[] = {{96, 96},  {144, 144}, {192, 192}, {48, 48},
                          {100, 96}, {0, 96},    {-144, 96}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(CMsgWnd::SupportedDpi(c.dpi), c.drawnAt);
        SeenBox seen;
        AnswerBox(QStringLiteral("confirm_btn"), &seen);
        ShowMessageBox(nullptr, QString(), QStringLiteral("message_text_5"), c.dpi,
                       MsgText::LanguageKey, MsgButtons::ConfirmOnly);
        EXPECT_EQ(seen.size, QSize(CMsgWnd::kDesignWidth * c.drawnAt / kDesignDpi,
                                   CMsgWnd::kDesignHeight * c.drawnAt / kDesignDpi));
    }
}

TEST_F(MessageBox, TheDownloadReportSaysWhatWentWrong) {
    // 0: nothing to say, no box.
    bool opened = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            opened = true;
            if (auto* confirm = box->findChild<QPushButton*>(QStringLiteral("confirm_btn"))) {
                confirm->click();
            }
        }
    });
    probe.start(0);
    ShowDownloadReport(nullptr, 0, kDesignDpi);
    QTest::qWait(20);
    probe.stop();
    EXPECT_FALSE(opened);

    SeenBox seen;
    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowDownloadReport(nullptr, -1, kDesignDpi);
    EXPECT_EQ(seen.text, ui::Tr(QStringLiteral("message_text_7")));
    EXPECT_FALSE(seen.cancelVisible);

    seen = {};
    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowDownloadReport(nullptr, -103, kDesignDpi);
    QString expected = ui::Tr(QStringLiteral("message_text_16"));
    ASSERT_TRUE(expected.contains("%d"));
    expected.replace(QStringLiteral("%d"), QStringLiteral("-103"));
    EXPECT_EQ(seen.text, expected);
}

TEST_F(MessageBox, ConfirmAndNoticeAnswerAsTheirButtons) {
    SeenBox seen;
    AnswerBox(QStringLiteral("cancel_btn"), &seen);
    EXPECT_FALSE(ConfirmMessage(nullptr, QStringLiteral("message_text_27"), kDesignDpi));
    EXPECT_TRUE(seen.cancelVisible);
    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    EXPECT_TRUE(ConfirmMessage(nullptr, QStringLiteral("message_text_27"), kDesignDpi));
    AnswerBox(QStringLiteral("confirm_btn"), &seen);
    ShowMessage(nullptr, QStringLiteral("message_text_5"), kDesignDpi);
    EXPECT_FALSE(seen.cancelVisible);
}

TEST_F(MessageBox, CentresOverItsOwnerAndGoesWithIt) {
    auto owner = std::make_unique<QWidget>();
    owner->setGeometry(100, 100, 800, 572);
    owner->show();
    QPoint centre;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        centre = box->geometry().center();
        // The owner goes while the box is open (the program ends): the box goes with it.
        owner.reset();
    });
    const int answer = ShowMessageBox(owner.get(), QString(), QStringLiteral("message_text_29"),
                                      kDesignDpi, MsgText::LanguageKey, MsgButtons::ConfirmCancel);
    EXPECT_EQ(answer, kMsgDeclined) << "nothing is confirmed that nobody answered";
    EXPECT_LE((centre - QPoint(500, 386)).manhattanLength(), 4);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace rerov::shell
