#pragma once

#include <memory>

#include "profiles/profile_store.h"
#include "tests/profiles/test_support.h"

namespace rerov::test {

/// A profile folder and a small factory default profile in a temporary folder.
class StoreTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        folder_ = Root() / "profiles";
        std::filesystem::create_directories(folder_);
        defaultFile_ = Root() / "DefaultData" / "keyboard.Json";
        WriteJson(defaultFile_, ParseJson(R"({"Device": [{"LightInfo": {"SelectItem": 6}}]})"));
    }

    std::unique_ptr<ProfileStore> MakeStore(int kind = 1) {
        return std::make_unique<ProfileStore>(kind, folder_, defaultFile_);
    }

    /// Writes a list file with the given names (UUIDs "u0", "u1", ...) and a profile file
    /// for each, then builds a store on it.
    std::unique_ptr<ProfileStore> StoreWith(const std::vector<std::string>& names, int selected,
                                            int kind = 1) {
        Json::Value list(Json::objectValue);
        list["profilelist"] = Json::Value(Json::arrayValue);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string uuid = "u" + std::to_string(i);
            Json::Value entry(Json::objectValue);
            entry["profilename"] = names[i];
            entry["profileUUID"] = uuid;
            list["profilelist"].append(entry);
            Json::Value profile(Json::objectValue);
            profile["profilename"] = names[i];
            profile["profileUUID"] = uuid;
            profile["Device"][0]["LightInfo"]["SelectItem"] = static_cast<int>(i);
            WriteJson(folder_ / (uuid + ".Json"), profile);
        }
        list["profileselect"] = selected;
        WriteJson(ListPath(), list);
        auto store = MakeStore(kind);
        EXPECT_EQ(store->Build(), StoreResult::Ok);
        return store;
    }

    std::filesystem::path ListPath() const { return folder_ / "ProfileList.ini"; }
    Json::Value List() const { return JsonFileIO::ReadJsonFile(ListPath()); }

    std::vector<std::string> ListNames() const {
        std::vector<std::string> names;
        const Json::Value list = List();
        for (const Json::Value& entry : list["profilelist"]) {
            names.push_back(entry["profilename"].asString());
        }
        return names;
    }

    std::filesystem::path folder_;
    std::filesystem::path defaultFile_;
};

}  // namespace rerov::test
