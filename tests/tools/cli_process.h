// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clampmeter::cli::test {

/// The whole of a text file, or "" when it cannot be read.
inline std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<std::string> textLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', from)) {
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

inline std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

/// Polls `done` every 20 ms until it holds or `limit` has passed.
template <typename Predicate> bool waitFor(Predicate done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

/// Where `name` runs from: the first of PATH's folders that holds it, else the folders where
/// Debian puts the system's daemons (mosquitto, cupsd), which a normal user's PATH leaves out.
/// The bare name when none holds it, so that starting it fails as it would from a shell.
inline std::string systemProgram(const std::string& name)
{
    std::string folders = ::getenv("PATH") ? ::getenv("PATH") : "";
    folders += ":/usr/local/sbin:/usr/sbin:/sbin";
    std::size_t from = 0;
    while (from <= folders.size()) {
        std::size_t end = folders.find(':', from);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = folders.substr(from, end - from);
        const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (::access(path.c_str(), X_OK) == 0)
            return path;
        from = end + 1;
    }
    return name;
}

/// A program started with its standard output and error in files and no standard input;
/// killed if a test leaves before it ended.
class ChildProcess {
public:
    ChildProcess(
        std::vector<std::string> argv, const std::string& outPath, const std::string& errPath)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(
            &actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(
            &actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> args;
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        if (posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    pid_t pid() const { return m_pid; }
    bool started() const { return m_pid > 0; }
    void signal(int number) const { ::kill(m_pid, number); }

    bool running()
    {
        if (m_pid <= 0)
            return false;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == 0)
            return true;
        m_status = status;
        m_pid = -1;
        return false;
    }

    /// The exit code once it ended normally within `limit`, else nothing.
    std::optional<int> wait(std::chrono::milliseconds limit = std::chrono::seconds(15))
    {
        if (!waitFor([this] { return !running(); }, limit) || !m_status || !WIFEXITED(*m_status))
            return std::nullopt;
        return WEXITSTATUS(*m_status);
    }

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace clampmeter::cli::test
