// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace clampmeter {

/// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        // create_directory() is false for a folder that exists already: another name is tried.
        std::random_device seed;
        std::mt19937_64 random(seed());
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = base / ("clampmeter-reg-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                m_path = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot make a temporary folder");
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace clampmeter
