// The keyboard end to end: the real rerov-ever with the simulated keyboard (by cable and
// through its receiver), driven with rerovctl app ui as a user drives it. Every change made
// in the window must reach the device's memory (rerovctl sim memory), and a change made on
// the device must show in the window.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "tests/e2e/e2e_support.h"

namespace rerov::e2e {
namespace {

std::string Text(const RunOutcome& run) { return (run.out + run.err).toStdString(); }

// Byte offsets of the parameter block and the key table that the window's changes touch.
constexpr int kBrightnessByte = 2;
constexpr int kSixKeyByte = 20;
constexpr int kPollingByte = 22;
constexpr int kKeyF3 = 3;
constexpr int kKeyF5 = 5;

class KeyboardDeviceE2e : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox_.IsValid());
        program_ =
            StartWithKeyboardReady(sandbox_, {QStringLiteral("--simulate=%1").arg(GetParam())});
        ASSERT_TRUE(program_);
    }

    void Ctl(const QStringList& arguments) {
        const RunOutcome run = Rerovctl(sandbox_, arguments);
        ASSERT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << ": " << Text(run);
    }
    void Ui(const QStringList& arguments) { Ctl(QStringList{"app", "ui"} + arguments); }

    // A section of "sim memory keyboard AREA --json" as bytes.
    QByteArray Memory(const QString& area, const QString& title) {
        const RunOutcome run = Rerovctl(sandbox_, {"sim", "memory", "keyboard", area, "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        const QJsonObject memory = QJsonDocument::fromJson(run.out.toUtf8()).object();
        for (const QJsonValue& section : memory.value("sections").toArray()) {
            const QJsonObject o = section.toObject();
            if (o.value("title").toString() == title)
                return QByteArray::fromHex(o.value("hex").toString().toLatin1());
        }
        ADD_FAILURE() << "no section " << title.toStdString() << " in " << area.toStdString();
        return {};
    }
    QByteArray Block() { return Memory("params", "profile 0"); }

    // The key table triple of the key whose factory code is `factory`.
    QByteArray KeyTriple(const QByteArray& factory) {
        const QByteArray table = Memory("keytable", "factory key table");
        for (int p = 0; p + 3 <= table.size(); p += 3) {
            if (table.mid(p, 3) == factory) return Memory("keytable", "key table").mid(p, 3);
        }
        ADD_FAILURE() << "no key with factory code " << factory.toHex().toStdString();
        return {};
    }

    QJsonArray Rows() {
        const RunOutcome run = Rerovctl(sandbox_, {"app", "ui", "list", "--json"});
        EXPECT_EQ(run.exitCode, 0) << Text(run);
        return QJsonDocument::fromJson(run.out.toUtf8()).array();
    }
    // The row of `name` in the main window (the keyboard page's own when pages repeat it).
    QJsonObject Row(const QString& name) {
        const QJsonArray rows = Rows();
        for (const QString& listed : {name + "#1", name}) {
            for (const QJsonValue& row : rows) {
                const QJsonObject o = row.toObject();
                if (o.value("window").toString() == "MainWnd" &&
                    o.value("name").toString() == listed)
                    return o;
            }
        }
        return {};
    }
    // True while a message box is open.
    bool MessageShown() {
        for (const QJsonValue& row : Rows()) {
            if (row.toObject().value("window").toString() == "MsgWnd") return true;
        }
        return false;
    }
    int Brightness() { return Row("deng_light_slider").value("value").toInt(-1); }

    Sandbox sandbox_;
    std::unique_ptr<RunningProgram> program_;
};

TEST_P(KeyboardDeviceE2e, WhatTheUserChangesInTheWindowReachesTheDevice) {
    // System settings.
    const char sixKeyBefore = Block().at(kSixKeyByte);
    Ui({"click", "system_Op_tab"});
    Ui({"click", "polling_rate_option_2"});
    Ui({"click", "6flag_option"});
    EXPECT_EQ(Block().at(kPollingByte), 2);
    EXPECT_NE(Block().at(kSixKeyByte), sixKeyBefore);

    // Lighting.
    Ui({"click", "deng_Op_tab"});
    Ui({"value", "deng_light_slider", "2"});
    EXPECT_EQ(Block().at(kBrightnessByte), 2);

    // A key: F3 becomes Shift.
    Ui({"click", "key_Op_tab"});
    Ui({"click", QStringLiteral("key_%1").arg(kKeyF3)});
    Ui({"select", "keyset_function_combo", "1"});
    Ui({"click", "key_ComBox_check_2"});
    Ui({"click", "key_butt_keysave"});
    EXPECT_EQ(KeyTriple(QByteArray::fromHex("20003c")).toHex(), QByteArray("200200"));

    // A macro on F5: the blob reaches the macro memory and the key plays macro 0.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString macro = folder.filePath("jump.mac");
    {
        QFile file(macro);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"Events":[{"Action":"down","Button":4,"Delay":"20","Type":1},)"
                   R"({"Action":"up","Button":4,"Delay":"300","Type":1}],"Version":64})");
    }
    Ctl({"macro", "keyboard", "import", macro});
    Ui({"click", QStringLiteral("key_%1").arg(kKeyF5)});
    Ui({"select", "keyset_function_combo", "4"});
    Ui({"select", "keyset_macro_combo", "0"});
    Ui({"click", "key_butt_keysave"});
    const QByteArray blob = Memory("macros", "macro memory");
    // Magic, length 16 + 6 + 2 × 4 = 30, one macro; its events as the device plays them.
    EXPECT_EQ(blob.left(6).toHex(), QByteArray("aa551e000100"));
    EXPECT_EQ(blob.mid(22, 8).toHex(), QByteArray("140081042c010104"));
    EXPECT_EQ(KeyTriple(QByteArray::fromHex("20003e")).left(2).toHex(), QByteArray("7000"));

    // Nothing of this asked the user anything or reported a failure.
    EXPECT_FALSE(MessageShown());
}

TEST_P(KeyboardDeviceE2e, AChangeMadeOnTheDeviceShowsInTheWindow) {
    ASSERT_NE(Brightness(), 1);
    Ctl({"sim", "set", "keyboard", "param", QString::number(kBrightnessByte), "1"});
    Ctl({"sim", "changed", "keyboard"});
    QJsonObject state;
    // The program reads the block again on the device's report and shows it.
    EXPECT_TRUE(
        program_->WaitForState([this](const QJsonObject&) { return Brightness() == 1; }, &state))
        << "brightness shown: " << Brightness();
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardDeviceE2e,
                         ::testing::Values("keyboard", "keyboard-receiver"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return info.param == std::string("keyboard") ? "Cable" : "Receiver";
                         });

}  // namespace
}  // namespace rerov::e2e
