// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace clampmeter::test {

/// A mount over a test's own folder that lives as long as this object: a small tmpfs (a disk
/// that fills up) or the folder bound onto itself read-only (refused even to root).
///
/// Mounts are made in a mount namespace of the test's own, which the calling thread (the one
/// that runs the tests) enters at the first mount: nothing outside ever sees them, and they go
/// with the program at the latest. They need root; where they cannot be made, unavailable()
/// says why, for a skip.
class PrivateMount {
public:
    /// A tmpfs of `size` bytes ("64k") over the folder `at`, which must exist.
    static PrivateMount tmpfs(const std::filesystem::path& at, const std::string& size)
    {
        PrivateMount mount(at);
        if (mount.enter())
            mount.check(::mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()));
        return mount;
    }

    /// The file system on `device` (a loop device, say) of `type` over the folder `at`.
    static PrivateMount device(
        const std::string& device, const std::filesystem::path& at, const std::string& type)
    {
        PrivateMount mount(at);
        if (mount.enter())
            mount.check(::mount(device.c_str(), at.c_str(), type.c_str(), 0, nullptr));
        return mount;
    }

    /// The folder `at` with what it holds now, read-only from here on.
    static PrivateMount readOnly(const std::filesystem::path& at)
    {
        PrivateMount mount(at);
        if (mount.enter()
            && mount.check(::mount(at.c_str(), at.c_str(), nullptr, MS_BIND, nullptr)))
            mount.check(
                ::mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr));
        return mount;
    }

    PrivateMount(PrivateMount&& other) noexcept
        : m_at(other.m_at)
        , m_mounted(other.m_mounted)
        , m_unavailable(std::move(other.m_unavailable))
    {
        other.m_mounted = false;
    }
    PrivateMount& operator=(PrivateMount&&) = delete;
    ~PrivateMount()
    {
        if (m_mounted)
            ::umount2(m_at.c_str(), MNT_DETACH);
    }

    /// Why the mount could not be made; empty when it is in place.
    const std::string& unavailable() const { return m_unavailable; }

private:
    explicit PrivateMount(std::filesystem::path at)
        : m_at(std::move(at))
    {
    }

    bool enter()
    {
        if (::geteuid() != 0) {
            m_unavailable = "mounts need root; this test runs as an ordinary user";
            return false;
        }
        // Once per program: mounts made afterwards do not propagate to the rest of the system.
        static const std::string refusal = [] {
            if (::unshare(CLONE_NEWNS) != 0
                || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                return "no private mount namespace here: " + std::string(std::strerror(errno));
            return std::string();
        }();
        m_unavailable = refusal;
        return refusal.empty();
    }

    bool check(int result)
    {
        if (result != 0) {
            m_unavailable = "cannot mount over " + m_at.string() + ": " + std::strerror(errno);
            // A bind that is in place but could not be made read-only must not stay.
            if (m_mounted)
                ::umount2(m_at.c_str(), MNT_DETACH);
            m_mounted = false;
            return false;
        }
        m_mounted = true;
        return true;
    }

    std::filesystem::path m_at;
    bool m_mounted = false;
    std::string m_unavailable;
};

} // namespace clampmeter::test
