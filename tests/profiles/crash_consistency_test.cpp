// A process saving profiles is killed at random moments, over and over. Whatever the moment,
// every file must parse afterwards, no profile may be lost, and any file left besides the
// profiles must be a temporary file the writer's clean-up recognises.
#include <gtest/gtest.h>

#if defined(__unix__)
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "profiles/atomic_file_writer.h"
#include "profiles/json_file_io.h"
#include "tests/profiles/store_fixture.h"

namespace rerov {
namespace {

constexpr int kKills = 200;
constexpr int kProfiles = 3;
// Profiles of a realistic size, so a kill often lands inside a write.
constexpr std::size_t kBulkBytes = 16 * 1024;

class CrashConsistencyTest : public test::StoreTest {
  protected:
    // Renames the profiles in turn, forever; one byte on the pipe after each rename.
    [[noreturn]] void SaveForever(int progress) {
        ProfileStore store(1, folder_, defaultFile_);
        if (const StoreResult built = store.Build(); built != StoreResult::Ok)
            _exit(20 + static_cast<int>(built));
        for (unsigned generation = 0;; ++generation) {
            const int index = static_cast<int>(generation % kProfiles);
            if (store.Select(index) != StoreResult::Ok) _exit(3);
            const std::string name = "P" + std::to_string(index) + "-" + std::to_string(generation);
            if (store.Rename(name) != StoreResult::Ok) _exit(4);
            const char done = 1;
            if (write(progress, &done, 1) != 1) _exit(5);
        }
    }

    // Checks the folder as a restarted program would find it; removes the temporary files,
    // as the store's load does. Returns how many there were.
    int CheckFolder(int kill) {
        int temporaries = 0;
        const JsonReadResult list = JsonFileIO::ReadJson(ListPath(), kListFileLimits);
        EXPECT_TRUE(list.Ok()) << "kill " << kill << ": " << JsonReadStatusText(list.status);
        const Json::Value& entries = list.document["profilelist"];
        EXPECT_EQ(entries.size(), static_cast<Json::ArrayIndex>(kProfiles)) << "kill " << kill;
        for (int i = 0; i < kProfiles; ++i) {
            const std::string uuid = "u" + std::to_string(i);
            EXPECT_EQ(entries[i]["profileUUID"].asString(), uuid) << "kill " << kill;
            const JsonReadResult profile = JsonFileIO::ReadJson(folder_ / (uuid + ".Json"));
            EXPECT_TRUE(profile.Ok()) << "kill " << kill << " " << uuid;
            EXPECT_EQ(profile.document["profileUUID"].asString(), uuid) << "kill " << kill;
            EXPECT_EQ(profile.document["bulk"].asString().size(), kBulkBytes) << "kill " << kill;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            // The folder's lock file is the store's; QLockFile removes a dead holder's.
            if (name == "ProfileList.ini" || name.ends_with(".Json") ||
                name == ProfileStore::kLockFileName)
                continue;
            EXPECT_TRUE(IsWriteTemporaryName(name)) << "kill " << kill << " left " << name;
            std::filesystem::remove(entry.path());
            ++temporaries;
        }
        return temporaries;
    }
};

TEST_F(CrashConsistencyTest, KilledWhileSavingLeavesEveryProfileWholeAndOnlyOurTemporaries) {
    { StoreWith({"P0", "P1", "P2"}, 0); }
    for (int i = 0; i < kProfiles; ++i) {
        const auto path = folder_ / ("u" + std::to_string(i) + ".Json");
        Json::Value profile = JsonFileIO::ReadJsonFile(path);
        profile["bulk"] = std::string(kBulkBytes, static_cast<char>('a' + i));
        ASSERT_TRUE(JsonFileIO::WriteJsonFile(path, profile));
    }

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMicroseconds(0, 4000);
    int temporaries = 0;
    for (int kill = 0; kill < kKills && !HasFailure(); ++kill) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(progress[0]);
            SaveForever(progress[1]);
        }
        close(progress[1]);
        // The kill lands while the child is saving: after its first rename, at a random
        // moment of the ones that follow.
        char done = 0;
        const bool saving = read(progress[0], &done, 1) == 1;
        usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(progress[0]);
        ASSERT_TRUE(saving) << "the saving child stopped by itself, status " << status;
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
        temporaries += CheckFolder(kill);
    }
    RecordProperty("temporaries_left_by_kills", temporaries);
}

}  // namespace
}  // namespace rerov
#endif
