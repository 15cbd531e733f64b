#pragma once
// SharedBytes: a fixed array of bytes that several threads read and write at once (the
// preview's per-light levels, wheel positions and peak ring). Each byte is atomic, so a
// reader never races a writer; an operation over the whole array is not one step, which
// the preview allows (a frame may mix two steps). Indices outside the array read as 0 and
// are not written, so a light number taken from a device report cannot reach past it.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace rerov {

template <size_t N>
class SharedBytes {
  public:
    static constexpr size_t size() { return N; }

    uint8_t Get(size_t index) const {
        return index < N ? bytes_[index].load(std::memory_order_relaxed) : 0;
    }
    void Set(size_t index, uint8_t value) {
        if (index < N) bytes_[index].store(value, std::memory_order_relaxed);
    }
    /// Replaces byte `index` with change(old) in one atomic step; false outside the array.
    template <typename Change>
    bool Update(size_t index, Change change) {
        if (index >= N) return false;
        uint8_t old = bytes_[index].load(std::memory_order_relaxed);
        while (!bytes_[index].compare_exchange_weak(old, change(old), std::memory_order_relaxed)) {
        }
        return true;
    }
    void Fill(uint8_t value) {
        for (auto& byte : bytes_) byte.store(value, std::memory_order_relaxed);
    }
    /// A copy of every byte (each read on its own).
    std::array<uint8_t, N> Copy() const {
        std::array<uint8_t, N> copy{};
        for (size_t i = 0; i < N; ++i) copy[i] = bytes_[i].load(std::memory_order_relaxed);
        return copy;
    }
    /// Moves every byte one place: towards higher indices (the last becomes the first) when
    /// `up`, else towards lower ones.
    void Rotate(bool up) {
        std::array<uint8_t, N> copy = Copy();
        if (up) {
            std::rotate(copy.rbegin(), copy.rbegin() + 1, copy.rend());
        } else {
            std::rotate(copy.begin(), copy.begin() + 1, copy.end());
        }
        for (size_t i = 0; i < N; ++i) bytes_[i].store(copy[i], std::memory_order_relaxed);
    }

  private:
    std::array<std::atomic<uint8_t>, N> bytes_{};
};

}  // namespace rerov
