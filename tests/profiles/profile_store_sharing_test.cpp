// A long-lived store (the running program) while another store (another program) changes the
// same folder, and the watcher that brings the long-lived one up to date.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLockFile>
#include <optional>

#include "profiles/profile_list_watcher.h"
#include "tests/profiles/store_fixture.h"

namespace rerov {
namespace {

using test::StoreTest;
using ::testing::ElementsAre;

int LightMode(const std::filesystem::path& file) {
    return JsonFileIO::ReadJsonFile(file)["Device"][0]["LightInfo"]["SelectItem"].asInt();
}

class SharedFolderTest : public StoreTest {
  protected:
    // The running program shows C of A, B, C, D; another program then deletes A.
    std::unique_ptr<ProfileStore> ShowingCThenADeletedElsewhere() {
        auto shown = StoreWith({"A", "B", "C", "D"}, 2);
        auto other = MakeStore();
        EXPECT_EQ(other->Build(), StoreResult::Ok);
        EXPECT_EQ(other->Select(0), StoreResult::Ok);
        EXPECT_EQ(other->Delete(), StoreResult::Ok);
        EXPECT_THAT(ListNames(), ElementsAre("B", "C", "D"));
        return shown;
    }
};

TEST_F(SharedFolderTest, ResetActsOnTheShownProfileAfterAnotherProgramDeletedOne) {
    auto store = ShowingCThenADeletedElsewhere();
    ASSERT_EQ(store->Reset(), StoreResult::Ok);
    EXPECT_EQ(LightMode(folder_ / "u2.Json"), 6) << "C took the default";
    EXPECT_EQ(LightMode(folder_ / "u3.Json"), 3) << "D keeps its settings";
    EXPECT_EQ(store->CurrentUUID(), "u2");
    EXPECT_THAT(store->Names(), ElementsAre("B", "C", "D"));
    EXPECT_EQ(store->Selected(), 1);
}

TEST_F(SharedFolderTest, DeleteRenameCopyAndExportFindTheShownProfileByUuid) {
    {
        auto store = ShowingCThenADeletedElsewhere();
        ASSERT_EQ(store->Delete(), StoreResult::Ok);
        EXPECT_THAT(ListNames(), ElementsAre("B", "D"));
        EXPECT_FALSE(std::filesystem::exists(folder_ / "u2.Json"));
        EXPECT_TRUE(std::filesystem::exists(folder_ / "u3.Json"));
        EXPECT_EQ(store->CurrentUUID(), "u1") << "the one before C";
    }
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    {
        auto store = ShowingCThenADeletedElsewhere();
        ASSERT_EQ(store->Rename("Cee"), StoreResult::Ok);
        EXPECT_THAT(ListNames(), ElementsAre("B", "Cee", "D"));
        EXPECT_EQ(JsonFileIO::ReadJsonFile(folder_ / "u3.Json")["profilename"].asString(), "D");
        ASSERT_EQ(store->Copy(), StoreResult::Ok);
        EXPECT_THAT(ListNames(), ElementsAre("B", "Cee", "D", "Cee copy"));
        const auto target = Root() / "out.json";
        ASSERT_EQ(store->Export(target), StoreResult::Ok);
        EXPECT_EQ(LightMode(target), 2);
    }
}

TEST_F(SharedFolderTest, OperationsOnAProfileRemovedElsewhereAreRefusedAndTheListReadAgain) {
    auto shown = StoreWith({"A", "B", "C", "D"}, 2);
    auto other = MakeStore();
    ASSERT_EQ(other->Build(), StoreResult::Ok);
    ASSERT_EQ(other->Delete(), StoreResult::Ok);  // C, shown by the first store
    ASSERT_THAT(ListNames(), ElementsAre("A", "B", "D"));
    ASSERT_EQ(List()["profileselect"].asInt(), 1);

    const std::string listBefore = ReadText(ListPath());
    const std::string dBefore = ReadText(folder_ / "u3.Json");
    int changes = 0;
    shown->SetChangeCallback([&changes] { ++changes; });
    EXPECT_EQ(shown->Reset(), StoreResult::ProfileRemoved);
    EXPECT_EQ(ReadText(ListPath()), listBefore);
    EXPECT_EQ(ReadText(folder_ / "u3.Json"), dBefore);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "u2.Json")) << "nothing brought back";
    EXPECT_EQ(changes, 1);
    EXPECT_THAT(shown->Names(), ElementsAre("A", "B", "D"));
    EXPECT_EQ(shown->CurrentUUID(), "u1") << "the list's stored selection";
    // Shown again as stored, the store works on.
    EXPECT_EQ(shown->Rename("bee"), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("A", "bee", "D"));
}

TEST_F(SharedFolderTest, EveryOperationOnTheRemovedProfileIsRefused) {
    using Operation = std::function<StoreResult(ProfileStore&)>;
    const std::pair<const char*, Operation> operations[] = {
        {"delete", [](ProfileStore& s) { return s.Delete(); }},
        {"copy", [](ProfileStore& s) { return s.Copy(); }},
        {"rename", [](ProfileStore& s) { return s.Rename("new"); }},
        {"reset", [](ProfileStore& s) { return s.Reset(); }},
        {"export", [this](ProfileStore& s) { return s.Export(Root() / "out.json"); }},
        {"select", [](ProfileStore& s) { return s.Select(2); }},
    };
    for (const auto& [label, operation] : operations) {
        auto shown = StoreWith({"A", "B", "C"}, 2);
        auto other = MakeStore();
        ASSERT_EQ(other->Build(), StoreResult::Ok);
        ASSERT_EQ(other->Delete(), StoreResult::Ok);
        const auto filesBefore = FileNames(folder_);
        const std::string listBefore = ReadText(ListPath());
        EXPECT_EQ(operation(*shown), StoreResult::ProfileRemoved) << label;
        EXPECT_EQ(FileNames(folder_), filesBefore) << label;
        EXPECT_EQ(ReadText(ListPath()), listBefore) << label;
        EXPECT_THAT(shown->Names(), ElementsAre("A", "B")) << label;
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
}

TEST_F(SharedFolderTest, AddsOfTwoStoresAreBothKept) {
    auto first = StoreWith({"A"}, 0);
    auto second = MakeStore();
    ASSERT_EQ(second->Build(), StoreResult::Ok);
    ASSERT_EQ(first->Add(), StoreResult::Ok);
    ASSERT_EQ(second->Add(), StoreResult::Ok);
    EXPECT_THAT(ListNames(), ElementsAre("A", "profile1", "profile2"));
    EXPECT_THAT(second->Names(), ElementsAre("A", "profile1", "profile2"));
}

TEST_F(SharedFolderTest, AnotherProgramsLockDelaysAndThenRefusesAChange) {
    auto store = StoreWith({"A"}, 0);
    QLockFile held(QString::fromStdString((folder_ / ProfileStore::kLockFileName).string()));
    ASSERT_TRUE(held.tryLock(0));
    // A lock of a live program is never taken over, so this waits out the bound.
    const std::string listBefore = ReadText(ListPath());
    EXPECT_EQ(store->Add(), StoreResult::FolderBusy);
    EXPECT_EQ(ReadText(ListPath()), listBefore);
    EXPECT_EQ(FileNames(folder_).count("u0.Json"), 1u);
    held.unlock();
    EXPECT_EQ(store->Add(), StoreResult::Ok);
}

TEST_F(SharedFolderTest, AnEmptyLockLeftByAProgramThatDiedWhileLockingIsTakenOver) {
    auto store = StoreWith({"A"}, 0);
    // Killed between creating the lock file and writing its name into it.
    const auto lock = folder_ / ProfileStore::kLockFileName;
    WriteText(lock, "");
    std::filesystem::last_write_time(
        lock, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(3));
    EXPECT_EQ(store->Add(), StoreResult::Ok);
    EXPECT_EQ(store->Names().size(), 2u);
}

// A watcher needs the event loop of a QCoreApplication.
class WatchedFolderTest : public SharedFolderTest {
  protected:
    void SetUp() override {
        SharedFolderTest::SetUp();
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

    // Runs the event loop until the watcher reported or the (generous) bound passed.
    static void RunUntil(const std::optional<RefreshResult>& reported, int boundMs) {
        QElapsedTimer clock;
        clock.start();
        while (!reported && clock.elapsed() < boundMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
    }

  private:
    int argc_ = 1;
    char name_[8] = "watcher";
    char* argv_[1] = {name_};
    std::unique_ptr<QCoreApplication> app_;
};

TEST_F(WatchedFolderTest, AChangeByAnotherStoreIsNoticedAndShown) {
    auto shown = StoreWith({"A", "B"}, 1);
    std::optional<RefreshResult> reported;
    ProfileListWatcher watcher(*shown, [&reported](RefreshResult result) { reported = result; });

    auto other = MakeStore();
    ASSERT_EQ(other->Build(), StoreResult::Ok);
    ASSERT_EQ(other->Add(), StoreResult::Ok);
    RunUntil(reported, 20000);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(*reported, RefreshResult::ListChanged);
    EXPECT_THAT(shown->Names(), ElementsAre("A", "B", "profile1"));
    EXPECT_EQ(shown->CurrentUUID(), "u1");

    reported.reset();
    ASSERT_EQ(other->Select(1), StoreResult::Ok);
    ASSERT_EQ(other->Delete(), StoreResult::Ok);  // B, the shown one
    RunUntil(reported, 20000);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(*reported, RefreshResult::CurrentChanged);
    EXPECT_THAT(shown->Names(), ElementsAre("A", "profile1"));
    EXPECT_EQ(shown->CurrentUUID(), "u0");
}

TEST_F(WatchedFolderTest, TheStoresOwnChangesAreNotReported) {
    auto shown = StoreWith({"A"}, 0);
    int reports = 0;
    ProfileListWatcher watcher(*shown, [&reports](RefreshResult) { ++reports; });
    ASSERT_EQ(shown->Add(), StoreResult::Ok);
    ASSERT_EQ(shown->Rename("Alpha"), StoreResult::Ok);
    // Long enough for the watcher to have settled and looked several times.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10 * ProfileListWatcher::kSettleMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    EXPECT_EQ(reports, 0);
    EXPECT_THAT(shown->Names(), ElementsAre("Alpha", "profile1"));
}

}  // namespace
}  // namespace rerov
