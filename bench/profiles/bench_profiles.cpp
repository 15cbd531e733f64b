// Cost of the profile operations a device page runs on a profile switch and after every
// edit, on the shipped factory keyboard profile (170 keys, five custom colour groups).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "profiles/json_file_io.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_store.h"

namespace {

const std::filesystem::path kDefaultKeyboard =
    std::filesystem::path(REROV_RUNTIME_DEFAULT_DATA) / "keyboard.Json";

std::filesystem::path MakeProfile(const QTemporaryDir& dir) {
    const std::filesystem::path path = std::filesystem::path(dir.path().toStdString()) / "p.Json";
    rerov::JsonFileIO::WriteJsonFile(path, rerov::JsonFileIO::ReadJsonFile(kDefaultKeyboard));
    return path;
}

// Load and read every keyboard section, as a profile switch does.
void BM_LoadKeyboardProfile(benchmark::State& state) {
    QTemporaryDir dir;
    const auto path = MakeProfile(dir);
    for (auto _ : state) {
        rerov::CKeyboardProfiledata data;
        data.SetDefaultPath(kDefaultKeyboard);
        data.LoadProfile(path);
        benchmark::DoNotOptimize(data.ReadKeyList());
        benchmark::DoNotOptimize(data.ReadLightInfo());
        benchmark::DoNotOptimize(data.ReadKeyboardSystem());
        benchmark::DoNotOptimize(data.ReadKeyColors(0, 170));
    }
}
BENCHMARK(BM_LoadKeyboardProfile)->Unit(benchmark::kMillisecond);

// One edit: change the light setting and save (read-modify-write, atomic replace).
void BM_SaveKeyboardProfile(benchmark::State& state) {
    QTemporaryDir dir;
    const auto path = MakeProfile(dir);
    rerov::CKeyboardProfiledata data;
    data.SetProfilePath(path);
    data.LoadProfile(path);
    rerov::LightSetting light = data.ReadLightInfo();
    for (auto _ : state) {
        ++light.bytes[rerov::LightSetting::kRed];
        data.WriteLightInfo(light);
        benchmark::DoNotOptimize(data.Save());
    }
}
BENCHMARK(BM_SaveKeyboardProfile)->Unit(benchmark::kMillisecond);

// A profile list of 50 entries: add and delete one profile.
void BM_AddDeleteProfile(benchmark::State& state) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    rerov::ProfileStore store(1, folder, kDefaultKeyboard);
    store.Build();
    while (store.Count() < rerov::ProfileStore::kMaxAddedProfiles - 1) store.Add();
    for (auto _ : state) {
        store.Add();
        store.Select(store.Count() - 1);
        store.Delete();
    }
}
BENCHMARK(BM_AddDeleteProfile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
