#include "devices/custom_light_list.h"

#include <algorithm>
#include <iterator>

namespace rerov {

namespace {

template <typename Table>
uint8_t BySpeed(const Table& table, uint8_t speed) {
    const size_t last = std::size(table) - 1;
    return table[std::min<size_t>(speed, last)];
}

}  // namespace

CustomLightTimers FreshTimers(const LightSetting& setting) {
    const uint8_t speed = setting.bytes[LightSetting::kSpeed];
    CustomLightTimers timers;
    timers.interval = BySpeed(kCustomCycleIntervals, speed);
    timers.blinkPeriodMs = BySpeed(kCustomBlinkPeriods, speed) * kBlinkPeriodUnitMs;
    return timers;
}

void CustomLightList::Load(const std::vector<LightSetting>& settings) {
    std::vector<CustomLight> fresh;
    fresh.reserve(settings.size());
    for (const LightSetting& setting : settings) fresh.push_back({setting, FreshTimers(setting)});
    std::lock_guard<std::mutex> guard(lock_);
    lights_.swap(fresh);
}

std::vector<LightSetting> CustomLightList::Settings() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<LightSetting> settings;
    settings.reserve(lights_.size());
    for (const CustomLight& light : lights_) settings.push_back(light.setting);
    return settings;
}

std::vector<CustomLight> CustomLightList::Snapshot() const {
    std::lock_guard<std::mutex> guard(lock_);
    return lights_;
}

size_t CustomLightList::Size() const {
    std::lock_guard<std::mutex> guard(lock_);
    return lights_.size();
}

void CustomLightList::Update(const std::function<void(std::vector<CustomLight>&)>& work) {
    std::lock_guard<std::mutex> guard(lock_);
    work(lights_);
}

}  // namespace rerov
