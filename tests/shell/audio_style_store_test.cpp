// The audio style file: the factory copy taken when the user's is missing or malformed,
// members the program does not know passed through a save, the reset, and the values of a
// hostile file clamped.

#include "shell/audio/audio_style_store.h"

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/writer.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/audio/audio_style_set.h"

namespace rerov::audio {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFactory = R"({
  "Device": {
    "AudioLightInfo": {
      "nAudioStyle": 1,
      "nStyleName1": "第一组", "nStyleName2": "第二组", "nStyleName3": "第三组", "nStyleName4": "第四组",
      "nStyleR0": 9, "nStyleG0": 0, "nStyleB0": 0,
      "nStyleR1": 0, "nStyleG1": 9, "nStyleB1": 0,
      "nStyleR2": 0, "nStyleG2": 0, "nStyleB2": 9,
      "nStyleR3": 9, "nStyleG3": 9, "nStyleB3": 9
    }
  }
})";

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    ASSERT_TRUE(out) << path;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::Value ReadDocument(const fs::path& path) {
    Json::Value document;
    std::istringstream in(ReadText(path));
    Json::CharReaderBuilder builder;
    std::string errors;
    EXPECT_TRUE(Json::parseFromStream(builder, in, &document, &errors)) << errors;
    return document;
}

class StyleStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        root_ = fs::path(folder_.path().toStdString());
        WriteText(factory_, kFactory);
    }
    AudioStyleStore Store() const { return AudioStyleStore(working_, factory_); }

    QTemporaryDir folder_;
    fs::path root_;
    fs::path working_ = fs::path(folder_.path().toStdString()) / "AudioFile.json";
    fs::path factory_ = fs::path(folder_.path().toStdString()) / "factory.json";
};

TEST_F(StyleStoreTest, AMissingOrMalformedWorkingFileBecomesTheFactoryCopy) {
    for (const char* broken :
         std::initializer_list<const char*>{"", "{ not json", "[1, 2]", nullptr}) {
        fs::remove(working_);
        if (broken != nullptr) WriteText(working_, broken);
        AudioStyleStore store = Store();
        ASSERT_TRUE(store.Load()) << (broken ? broken : "missing");
        EXPECT_EQ(store.Styles().selected, 1);
        EXPECT_EQ(store.Styles().names[2], "第三组");
        EXPECT_EQ(store.Styles().levels[3], (std::array<int, 3>{9, 9, 9}));
        EXPECT_EQ(ReadDocument(working_), ReadDocument(factory_));
    }
}

TEST_F(StyleStoreTest, AWorkingFileThatCannotBeReadIsLeftAloneAndNotSavedOver) {
    fs::create_directory(working_);  // a folder has the file's name
    AudioStyleStore store = Store();
    EXPECT_TRUE(store.Load());
    EXPECT_EQ(store.Styles().selected, 1) << "the factory styles are used meanwhile";
    EXPECT_FALSE(store.Save(store.Styles()));
    EXPECT_TRUE(fs::is_directory(working_));
}

TEST_F(StyleStoreTest, WithoutEitherFileTheSetIsEmpty) {
    fs::remove(factory_);
    AudioStyleStore store = Store();
    EXPECT_FALSE(store.Load());
    EXPECT_EQ(store.Styles(), AudioStyleSet{});
    EXPECT_FALSE(fs::exists(working_));
}

TEST_F(StyleStoreTest, ASaveKeepsWhatItDoesNotKnow) {
    WriteText(working_, R"({"Version": 3, "Device": {"Serial": "A1", "AudioLightInfo":
        {"nAudioStyle": 0, "nExtra": 5}}})");
    AudioStyleStore store = Store();
    ASSERT_TRUE(store.Load());
    AudioStyleSet edited = store.Styles();
    edited.selected = 3;
    edited.names[3] = "夜";
    edited.levels[3] = {1, 2, 3};
    ASSERT_TRUE(store.Save(edited));

    const Json::Value saved = ReadDocument(working_);
    EXPECT_EQ(saved["Version"].asInt(), 3);
    EXPECT_EQ(saved["Device"]["Serial"].asString(), "A1");
    const Json::Value& info = saved["Device"]["AudioLightInfo"];
    EXPECT_EQ(info["nExtra"].asInt(), 5);
    EXPECT_EQ(info["nAudioStyle"].asInt(), 3);
    EXPECT_EQ(info["nStyleName4"].asString(), "夜");
    EXPECT_EQ(info["nStyleB3"].asInt(), 3);

    AudioStyleStore again = Store();
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Styles(), edited);
}

TEST_F(StyleStoreTest, AResetBringsBackTheFactoryStyles) {
    AudioStyleStore store = Store();
    ASSERT_TRUE(store.Load());
    AudioStyleSet edited = store.Styles();
    edited.levels[0] = {1, 1, 1};
    ASSERT_TRUE(store.Save(edited));
    ASSERT_TRUE(store.Reset());
    EXPECT_EQ(store.Styles().levels[0], (std::array<int, 3>{9, 0, 0}));
    EXPECT_EQ(ReadDocument(working_), ReadDocument(factory_));

    fs::remove(factory_);
    EXPECT_FALSE(store.Reset()) << "without a factory file nothing changes";
    EXPECT_EQ(store.Styles().levels[0], (std::array<int, 3>{9, 0, 0}));
}

TEST(AudioStyleSetTest, ValuesOutOfRangeOrOfTheWrongTypeAreClamped) {
    const struct {
        const char* json;
        int expected;
    } cases[] = {
        {"-3", 0},
        {"12", 9},
        {"9", 9},
        {"\"5\"", 0},
        {"2.5", 0},
        {"null", 0},
        {"true", 0},
        {"99999999999999999999", 0},
        {"18446744073709551615", 9},
        {"4.0", 4},
    };
    for (const auto& c : cases) {
        Json::Value info;
        Json::Reader reader;
        ASSERT_TRUE(reader.parse(std::string(R"({"nStyleG2": )") + c.json + "}", info)) << c.json;
        EXPECT_EQ(StyleSetFromJson(info).levels[2][1], c.expected) << c.json;
    }
    Json::Value info(Json::objectValue);
    info["nAudioStyle"] = 7;
    info["nStyleName1"] = 12;
    EXPECT_EQ(StyleSetFromJson(info).selected, 3);
    EXPECT_EQ(StyleSetFromJson(info).names[0], "");
    info["nAudioStyle"] = -1;
    EXPECT_EQ(StyleSetFromJson(info).selected, 0);
    EXPECT_EQ(StyleSetFromJson(Json::Value("text")), AudioStyleSet{});
}

TEST(AudioStyleSetTest, TheFactoryFileHoldsFourNamedStyles) {
    AudioStyleStore store(fs::path(), fs::path(REROV_TEST_DEFAULT_DATA) / kAudioStyleFileName);
    ASSERT_TRUE(store.Load());
    for (int style = 0; style < kAudioStyleCount; ++style) {
        EXPECT_EQ(store.Styles().names[size_t(style)], DefaultStyleName(style));
        EXPECT_NE(store.Styles().levels[size_t(style)], (std::array<int, 3>{0, 0, 0}));
    }
}

}  // namespace
}  // namespace rerov::audio
