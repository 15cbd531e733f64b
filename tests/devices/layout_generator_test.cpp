// The committed keyboard picture is what the generator writes from its tables today.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DeviceBaseLayoutGenerator, CommittedKeyboardPictureIsCurrent) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString generated = dir.filePath(QStringLiteral("keyboard_picture.ui"));
    QProcess generator;
    generator.start(python, {QStringLiteral(REROV_TEST_SKIN_DIR
                                            "/../tools/gen_keyboard_layout/gen_keyboard_layout.py"),
                             generated});
    ASSERT_TRUE(generator.waitForFinished(60000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    const QByteArray committed =
        ReadAll(QStringLiteral(REROV_TEST_SKIN_DIR "/XML/DeviceXml/keyboard_picture.ui"));
    ASSERT_FALSE(committed.isEmpty());
    EXPECT_TRUE(ReadAll(generated) == committed)
        << "run tools/gen_keyboard_layout/gen_keyboard_layout.py and commit its output";
}

}  // namespace
