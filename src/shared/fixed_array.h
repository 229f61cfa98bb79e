// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <memory>

namespace clampmeter {

/// An array of exactly N elements allocated once on the heap.
///
/// Unlike std::vector it cannot grow or shrink, and unlike std::array it keeps a large
/// store off the stack. Elements are value-initialised (numbers 0, texts empty).
template <typename T, std::size_t N> class FixedArray {
public:
    FixedArray()
        : m_items(std::make_unique<T[]>(N))
    {
    }
    // One store per owner: copying 50000 records by accident would be a silent cost.
    FixedArray(const FixedArray&) = delete;
    FixedArray& operator=(const FixedArray&) = delete;
    FixedArray(FixedArray&&) = delete;
    FixedArray& operator=(FixedArray&&) = delete;
    ~FixedArray() = default;

    static constexpr std::size_t size() { return N; }

    T& operator[](std::size_t i) { return m_items[i]; }
    const T& operator[](std::size_t i) const { return m_items[i]; }

    T* begin() { return m_items.get(); }
    T* end() { return m_items.get() + N; }
    const T* begin() const { return m_items.get(); }
    const T* end() const { return m_items.get() + N; }

private:
    std::unique_ptr<T[]> m_items;
};

} // namespace clampmeter
