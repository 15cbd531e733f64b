// The skin observer, "main.ini" and the user's own background image.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <vector>

#include "controls/resource_index.h"
#include "shell/skin/skin_ini.h"
#include "shell/skin/skin_observer.h"
#include "shell/skin/user_background.h"

namespace rerov::shell {
namespace {

// A receiver that notes what it got, and may act on the observer while it receives.
class Recorder : public SkinReceiver {
  public:
    Recorder(std::vector<int>* order, int id) : order_(order), id_(id) {}
    void OnSkinChanged(const SkinChangedParam& param) override {
        order_->push_back(id_);
        last = param;
        if (onReceive) onReceive();
    }
    SkinChangedParam last;
    std::function<void()> onReceive;

  private:
    std::vector<int>* order_;
    int id_;
};

TEST(SkinObserver, BroadcastsInSubscriptionOrderAndForgetsRemovedReceivers) {
    std::vector<int> order;
    Recorder a(&order, 1), b(&order, 2), c(&order, 3);
    SkinObserver& observer = SkinObserver::Instance();
    observer.AddReceiver(&b);
    observer.AddReceiver(&a);
    observer.AddReceiver(&c);
    observer.AddReceiver(&a);  // once only
    const SkinChangedParam colour{true, 0xFF112233u, QString()};
    observer.Broadcast(colour);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(c.last, colour);

    order.clear();
    observer.RemoveReceiver(&a);
    observer.Broadcast({false, 0, QStringLiteral("backgrounds/aurora.png")});
    EXPECT_EQ(order, (std::vector<int>{2, 3}));
    EXPECT_EQ(b.last.image, "backgrounds/aurora.png");
    observer.RemoveReceiver(&b);
    observer.RemoveReceiver(&c);
}

TEST(SkinObserver, AReceiverDestroyedWhileSubscribedLeavesNothingBehind) {
    std::vector<int> order;
    Recorder kept(&order, 1);
    SkinObserver& observer = SkinObserver::Instance();
    {
        auto gone = std::make_unique<Recorder>(&order, 2);
        observer.AddReceiver(gone.get());
        observer.AddReceiver(&kept);
        // The first receiver deletes a later one during the broadcast: it is skipped.
        Recorder* raw = gone.get();
        raw->onReceive = [&gone] { gone.reset(); };
        observer.Broadcast({true, 1, QString()});
        EXPECT_EQ(order, (std::vector<int>{2, 1}));
        auto victim = std::make_unique<Recorder>(&order, 3);
        observer.AddReceiver(victim.get());
        kept.onReceive = [&victim] { victim.reset(); };
        order.clear();
        observer.Broadcast({true, 2, QString()});
        EXPECT_EQ(order, (std::vector<int>{1})) << "the receiver deleted mid-broadcast got nothing";
        EXPECT_FALSE(observer.IsSubscribed(raw));
    }
    kept.onReceive = nullptr;
    order.clear();
    observer.Broadcast({true, 3, QString()});
    EXPECT_EQ(order, (std::vector<int>{1}));
    observer.RemoveReceiver(&kept);
}

// Folders of one test: a skin folder with two images and a user image folder.
class SkinFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("skin/backgrounds")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("skin/common")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("user/skin")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("elsewhere")));
        sources = {root.filePath(QStringLiteral("skin")),
                   root.filePath(QStringLiteral("user/skin"))};
        ASSERT_TRUE(SmallPng().save(root.filePath(QStringLiteral("skin/backgrounds/a.png"))));
        ASSERT_TRUE(SmallPng().save(root.filePath(QStringLiteral("skin/common/background.png"))));
        ASSERT_TRUE(SmallPng().save(root.filePath(QStringLiteral("elsewhere/b.png"))));
        ini = root.filePath(QStringLiteral("main.ini"));
    }
    static QImage SmallPng(QColor colour = Qt::darkCyan, QSize size = QSize(32, 20)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    void WriteIni(const QByteArray& text) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
    }
    QString Stored(const char* key) {
        return QSettings(ini, QSettings::IniFormat).value(QLatin1String(key)).toString();
    }

    QTemporaryDir dir;
    QDir root;
    SkinSources sources;
    QString ini;
};

TEST_F(SkinFiles, EveryKindOfChoiceComesBackFromMainIni) {
    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagImage, QStringLiteral("backgrounds/a.png")));
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "1");
    auto stored = ReadStoredSkin(ini, sources);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (SkinChangedParam{false, 0, QStringLiteral("backgrounds/a.png")}));

    ASSERT_TRUE(WriteSkinColour(ini, 0xFF0C2230u));
    EXPECT_EQ(Stored("SKINIMAGE/COLOR"), "#FF0C2230");
    stored = ReadStoredSkin(ini, sources);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (SkinChangedParam{true, 0xFF0C2230u, QString()}));

    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagDefault, QLatin1String(kDefaultBackground)));
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "0");
    EXPECT_EQ(Stored("SKINIMAGE/IMAGE"), "common/background.png");
    EXPECT_TRUE(Stored("SKINIMAGE/COLOR").isEmpty()) << "an image choice drops the colour";
    stored = ReadStoredSkin(ini, sources);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->image, "common/background.png");

    // A name written with the other platform's separators still names the same file.
    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagImage, QStringLiteral("backgrounds\\a.png")));
    stored = ReadStoredSkin(ini, sources);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->image, "backgrounds/a.png");

    const QString copy = root.filePath(QStringLiteral("user/skin/custom_1.png"));
    ASSERT_TRUE(SmallPng().save(copy));
    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagImage, copy));
    stored = ReadStoredSkin(ini, sources);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->image, QFileInfo(copy).canonicalFilePath());
}

TEST_F(SkinFiles, AStoredChoiceTheWindowMayNotShowIsIgnored) {
    const QString outside = root.filePath(QStringLiteral("elsewhere/b.png"));
    QFile::link(outside, root.filePath(QStringLiteral("user/skin/custom_link.png")));
    QFile notImage(root.filePath(QStringLiteral("skin/backgrounds/text.png")));
    ASSERT_TRUE(notImage.open(QIODevice::WriteOnly));
    notImage.write("not a picture");
    notImage.close();
    struct Case {
        const char* what;
        QByteArray text;
    };
    const Case cases[] = {
        {"no section", "[OTHER]\nFLAGS=1\n"},
        {"FLAGS not a number", "[SKINIMAGE]\nFLAGS=x\nIMAGE=backgrounds/a.png\n"},
        {"unknown FLAGS", "[SKINIMAGE]\nFLAGS=7\nIMAGE=backgrounds/a.png\n"},
        {"bad colour", "[SKINIMAGE]\nFLAGS=2\nCOLOR=blue\n"},
        {"climbs out of the skin", "[SKINIMAGE]\nFLAGS=1\nIMAGE=../elsewhere/b.png\n"},
        {"climbs out in the middle",
         "[SKINIMAGE]\nFLAGS=1\nIMAGE=backgrounds/../../elsewhere/b.png\n"},
        {"absolute outside the user folder",
         "[SKINIMAGE]\nFLAGS=1\nIMAGE=" + outside.toUtf8() + "\n"},
        {"link out of the user folder",
         "[SKINIMAGE]\nFLAGS=1\nIMAGE=" +
             root.filePath(QStringLiteral("user/skin/custom_link.png")).toUtf8() + "\n"},
        {"missing file", "[SKINIMAGE]\nFLAGS=1\nIMAGE=backgrounds/gone.png\n"},
        {"not an image", "[SKINIMAGE]\nFLAGS=1\nIMAGE=backgrounds/text.png\n"},
        {"empty image", "[SKINIMAGE]\nFLAGS=0\nIMAGE=\n"},
        {"garbage", QByteArray("\x00\xff[[[\n=\n\x01", 10)},
    };
    for (const Case& c : cases) {
        WriteIni(c.text);
        EXPECT_FALSE(ReadStoredSkin(ini, sources)) << c.what;
    }
    EXPECT_FALSE(ReadStoredSkin(root.filePath(QStringLiteral("none.ini")), sources));
}

TEST_F(SkinFiles, AnUnwritableMainIniFailsWithoutHarm) {
    // A file where the folder should be: no one may write below it, not even root.
    const QString blocker = root.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString locked = blocker + QStringLiteral("/main.ini");
    EXPECT_FALSE(WriteSkinImage(locked, kSkinFlagDefault, QLatin1String(kDefaultBackground)));
    EXPECT_FALSE(WriteSkinColour(locked, 0xFF000000u));
    EXPECT_FALSE(QFile::exists(locked));
}

// The CRC-32 of PNG chunks.
quint32 Crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendChunk(QByteArray* png, const QByteArray& type, const QByteArray& data) {
    char word[4];
    qToBigEndian(quint32(data.size()), word);
    png->append(word, 4);
    const QByteArray body = type + data;
    png->append(body);
    qToBigEndian(Crc32(body), word);
    png->append(word, 4);
}

// A PNG of a few bytes whose header claims `width` x `height` pixels: the header and the
// start of its picture data, which is not there.
QByteArray PngHeaderClaiming(quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    char size[8];
    qToBigEndian(width, size);
    qToBigEndian(height, size + 4);
    AppendChunk(&png, "IHDR", QByteArray(size, 8).append("\x08\x02\x00\x00\x00", 5));
    AppendChunk(&png, "IDAT", QByteArray("\x78\x9c", 2));
    return png;
}

TEST_F(SkinFiles, UserImagesThatAreNoPicturesOrTooLargeAreRefused) {
    const QString target = root.filePath(QStringLiteral("user/skin"));
    auto write = [&](const char* name, const QByteArray& data) {
        const QString path = root.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(data), data.size());
        return path;
    };
    struct Case {
        const char* what;
        QString path;
        UserImageResult expected;
    };
    QByteArray huge(int(kMaxUserImageBytes + 1), '\0');
    const Case cases[] = {
        {"missing", root.filePath(QStringLiteral("gone.png")), UserImageResult::Unreadable},
        {"a folder", root.filePath(QStringLiteral("elsewhere")), UserImageResult::Unreadable},
        {"empty", write("empty.png", {}), UserImageResult::Empty},
        {"text", write("text.png", "hello, not an image"), UserImageResult::NotAnImage},
        {"bytes over the limit", write("huge.png", huge), UserImageResult::TooLarge},
        {"100000 px wide", write("wide.png", PngHeaderClaiming(100000, 10)),
         UserImageResult::TooLarge},
        {"8193 px high", write("high.png", PngHeaderClaiming(10, 8193)), UserImageResult::TooLarge},
        {"a header with no picture", write("cut.png", PngHeaderClaiming(64, 64)),
         UserImageResult::NotAnImage},
    };
    for (const Case& c : cases) {
        const AdoptedImage adopted = AdoptUserBackground(c.path, target);
        EXPECT_EQ(adopted.result, c.expected) << c.what;
        EXPECT_TRUE(adopted.copy.isEmpty()) << c.what;
        EXPECT_FALSE(UserImageMessageKey(adopted.result).isEmpty()) << c.what;
    }
    EXPECT_TRUE(QDir(target).isEmpty()) << "nothing was copied";
}

TEST_F(SkinFiles, AGoodUserImageIsCopiedAndOutlivesItsOriginal) {
    const QString target = root.filePath(QStringLiteral("user/skin"));
    const QString original = root.filePath(QStringLiteral("mine.jpg"));
    ASSERT_TRUE(SmallPng(Qt::red, QSize(64, 40)).save(original, "JPG"));
    const AdoptedImage first = AdoptUserBackground(original, target);
    ASSERT_EQ(first.result, UserImageResult::Adopted);
    EXPECT_TRUE(first.copy.startsWith(target + u'/')) << first.copy.toStdString();
    EXPECT_TRUE(first.copy.endsWith(QLatin1String(".jpg"))) << "named by its format";
    ASSERT_TRUE(QFile::remove(original));
    QImage shown(first.copy);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(64, 40));
    // The choice survives a restart: the copy is a background the window may show.
    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagImage, first.copy));
    ASSERT_TRUE(ReadStoredSkin(ini, sources));

    // A second picture gets a name of its own, and the first copy goes.
    const QString second = root.filePath(QStringLiteral("other.png"));
    ASSERT_TRUE(SmallPng(Qt::blue).save(second));
    const AdoptedImage next = AdoptUserBackground(second, target);
    ASSERT_EQ(next.result, UserImageResult::Adopted);
    EXPECT_NE(next.copy, first.copy);
    EXPECT_FALSE(QFile::exists(first.copy));
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), 1);
}

TEST_F(SkinFiles, APictureLargerThanTheStoredLimitIsKeptScaledDown) {
    const QString original = root.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(SmallPng(Qt::gray, QSize(kMaxStoredImageSide * 2, 16)).save(original));
    const AdoptedImage adopted =
        AdoptUserBackground(original, root.filePath(QStringLiteral("user/skin")));
    ASSERT_EQ(adopted.result, UserImageResult::Adopted);
    EXPECT_EQ(QImage(adopted.copy).size(), QSize(kMaxStoredImageSide, 8));
}

TEST_F(SkinFiles, AFolderThatCannotTakeTheCopyIsReported) {
    const QString original = root.filePath(QStringLiteral("mine.png"));
    ASSERT_TRUE(SmallPng().save(original));
    const QString blocker = root.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const AdoptedImage adopted = AdoptUserBackground(original, blocker + QStringLiteral("/skin"));
    EXPECT_EQ(adopted.result, UserImageResult::CopyFailed);
}

}  // namespace
}  // namespace rerov::shell
