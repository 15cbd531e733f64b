#pragma once

#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/value.h>

#include <QTemporaryDir>
#include <QtGlobal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "profiles/json_file_io.h"
#include "tests/support/scoped_environment.h"

namespace rerov::test {

/// A temporary folder that is also the user data folder (XDG_DATA_HOME), so no test touches
/// the real user folder.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = std::filesystem::path(dir_.path().toStdString());
        dataHome_.emplace("XDG_DATA_HOME",
                          QByteArray::fromStdString((root_ / "userdata").string()));
    }

    const std::filesystem::path& Root() const { return root_; }

    static std::string ReadText(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteText(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    static void WriteJson(const std::filesystem::path& path, const Json::Value& value) {
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, value));
    }

    static std::set<std::string> FileNames(const std::filesystem::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

  private:
    QTemporaryDir dir_;
    std::filesystem::path root_;
    std::optional<ScopedEnvironment> dataHome_;  // restored before dir_ goes
};

/// Parses JSON text for test fixtures.
inline Json::Value ParseJson(const std::string& text) {
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << errors;
    return value;
}

}  // namespace rerov::test
