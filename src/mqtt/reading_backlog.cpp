// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mqtt/reading_backlog.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSegmentSuffix = ".readings";
constexpr std::string_view kLockName = "lock";
constexpr std::string_view kDoneName = "acknowledged";
constexpr std::size_t kSeqDigits = 20;
constexpr std::size_t kReadChunk = 64 * 1024;

std::optional<std::uint64_t> parseNumber(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc {} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string segmentName(std::uint64_t first)
{
    std::array<char, kSeqDigits + 1> digits {};
    std::snprintf(digits.data(), digits.size(), "%020llu", static_cast<unsigned long long>(first));
    return std::string(digits.data()) + std::string(kSegmentSuffix);
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// "SEQ PAYLOAD" cut in two; nothing for a line of another shape.
std::optional<WaitingReading> splitLine(std::string_view line)
{
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const auto seq = parseNumber(line.substr(0, space));
    if (!seq)
        return std::nullopt;
    return WaitingReading {*seq, std::string(line.substr(space + 1))};
}

bool holdFile(JournalFile& file, const fs::path& path)
{
    return file.open(path, JournalFile::Mode::Append)
        || (errno == ENOENT && file.open(path, JournalFile::Mode::Create));
}

} // namespace

std::unique_ptr<ReadingBacklog> ReadingBacklog::open(
    const fs::path& folder, std::uint64_t limit, std::string& problem)
{
    std::unique_ptr<ReadingBacklog> backlog(new ReadingBacklog(folder, limit));
    if (!backlog->load(problem))
        return nullptr;
    return backlog;
}

ReadingBacklog::ReadingBacklog(fs::path folder, std::uint64_t limit)
    : m_folder(std::move(folder))
    , m_limit(std::max<std::uint64_t>(limit, 1))
{
}

ReadingBacklog::~ReadingBacklog()
{
    sync();
    closeReader();
}

bool ReadingBacklog::load(std::string& problem)
{
    if (std::string reason = createPrivateFolder(m_folder); !reason.empty()) {
        problem = "cannot make " + m_folder.string() + ": " + reason;
        return false;
    }
    if (!holdFile(m_lock, m_folder / kLockName)) {
        problem = m_lock.errorText() == kJournalInUse
            ? m_folder.string() + " is in use by another logger"
            : "cannot use " + m_folder.string() + ": " + m_lock.errorText();
        return false;
    }
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() != kSeqDigits + kSegmentSuffix.size() || !name.ends_with(kSegmentSuffix))
            continue;
        if (const auto first = parseNumber(std::string_view(name).substr(0, kSeqDigits)))
            m_segments.push_back({*first, it->path()});
    }
    std::sort(m_segments.begin(), m_segments.end(),
        [](const Segment& a, const Segment& b) { return a.first < b.first; });
    // Without its record every reading still on disk goes again: repeats, never a loss.
    const std::string record = fileText(m_folder / kDoneName);
    const auto recorded = parseNumber(std::string_view(record).substr(0, record.find('\n')));
    m_done = recorded ? *recorded : (m_segments.empty() ? 0 : m_segments.front().first - 1);
    m_savedDone = m_done;
    if (!recoverNewest()) {
        problem = "cannot read " + m_segments.back().path.string() + ": " + m_failure;
        return false;
    }
    m_next = std::max(m_next, m_done + 1);
    if (m_next - 1 - m_done > m_limit)
        settle(m_next - 1 - m_limit);
    return true;
}

bool ReadingBacklog::recoverNewest()
{
    if (m_segments.empty())
        return true;
    const Segment& newest = m_segments.back();
    const std::string text = fileText(newest.path);
    // A line cut short by a power cut is no reading: it goes, so that the next stands alone.
    const std::size_t end = text.rfind('\n');
    const std::size_t whole = end == std::string::npos ? 0 : end + 1;
    if (whole != text.size()) {
        std::error_code error;
        fs::resize_file(newest.path, whole, error);
        if (error) {
            m_failure = error.message();
            return false;
        }
    }
    m_next = newest.first;
    if (whole > 0) {
        const std::string_view lines(text.data(), whole - 1);
        const std::size_t start = lines.rfind('\n');
        if (const auto reading
            = splitLine(start == std::string_view::npos ? lines : lines.substr(start + 1)))
            m_next = reading->seq + 1;
    }
    return true;
}

bool ReadingBacklog::startSegment()
{
    m_writer.close();
    const fs::path path = m_folder / segmentName(m_next);
    if (!m_writer.open(path, JournalFile::Mode::Create)) {
        m_failure = m_writer.errorText();
        return false;
    }
    m_segments.push_back({m_next, path});
    return true;
}

bool ReadingBacklog::append(std::string_view payload)
{
    const bool full = m_segments.empty() || m_next - m_segments.back().first >= kSegmentReadings;
    if (full && !startSegment())
        return false;
    if (!m_writer.isOpen() && !holdFile(m_writer, m_segments.back().path)) {
        m_failure = m_writer.errorText();
        return false;
    }
    const std::string line = std::to_string(m_next) + ' ' + std::string(payload) + '\n';
    std::size_t written = 0;
    if (!m_writer.append(line, written)) {
        m_failure = m_writer.errorText();
        if (written > 0) {
            // Part of the line reached the file: cut it off before the next one follows.
            m_writer.close();
            std::error_code error;
            const auto size = fs::file_size(m_segments.back().path, error);
            if (!error)
                fs::resize_file(m_segments.back().path, size - written, error);
        }
        return false;
    }
    ++m_next;
    m_unsynced = true;
    if (m_next - 1 - m_done > m_limit) {
        const std::uint64_t before = m_done;
        settle(m_next - 1 - m_limit);
        m_dropped += m_done - before;
    }
    return true;
}

std::optional<WaitingReading> ReadingBacklog::take()
{
    for (std::size_t i = m_resendFrom; i < m_out.size(); ++i) {
        OutReading& out = m_out[i];
        if (!out.sent && !out.acknowledged) {
            out.sent = true;
            m_resendFrom = i + 1;
            return out.reading;
        }
    }
    m_resendFrom = m_out.size();
    std::optional<WaitingReading> reading = readFromFiles();
    if (reading)
        m_out.push_back({*reading});
    return reading;
}

void ReadingBacklog::acknowledge(std::uint64_t seq)
{
    if (m_out.empty() || seq < m_out.front().reading.seq || seq > m_out.back().reading.seq)
        return;
    OutReading& settled = m_out[seq - m_out.front().reading.seq];
    if (settled.acknowledged)
        return;
    settled.acknowledged = true;
    ++m_outAcknowledged;
    std::uint64_t done = m_done;
    for (const OutReading& out : m_out) {
        if (!out.acknowledged)
            break;
        done = out.reading.seq;
    }
    settle(done);
}

void ReadingBacklog::putBack()
{
    for (OutReading& out : m_out)
        out.sent = out.acknowledged;
    m_resendFrom = 0;
}

void ReadingBacklog::giveBack(std::uint64_t seq)
{
    if (m_out.empty() || seq < m_out.front().reading.seq || seq > m_out.back().reading.seq)
        return;
    const std::size_t index = seq - m_out.front().reading.seq;
    m_out[index].sent = false;
    m_resendFrom = std::min(m_resendFrom, index);
}

void ReadingBacklog::settle(std::uint64_t done)
{
    if (done <= m_done)
        return;
    while (!m_out.empty() && m_out.front().reading.seq <= done) {
        m_outAcknowledged -= m_out.front().acknowledged ? 1 : 0;
        m_out.pop_front();
        m_resendFrom = m_resendFrom > 0 ? m_resendFrom - 1 : 0;
    }
    m_done = done;
    removeSettledSegments();
}

void ReadingBacklog::removeSettledSegments()
{
    // The newest stays: it numbers the next reading and takes it.
    while (m_segments.size() > 1 && m_segments[1].first - 1 <= m_done) {
        std::error_code error;
        fs::remove(m_segments.front().path, error);
        m_segments.pop_front();
    }
}

bool ReadingBacklog::sync()
{
    bool ok = true;
    if (m_unsynced && m_writer.isOpen() && !m_writer.sync()) {
        m_failure = m_writer.errorText();
        ok = false; // still unsynced: the next sync tries again
    } else {
        m_unsynced = false;
    }
    if (m_done != m_savedDone) {
        if (!recordDone()) {
            m_failure = std::strerror(errno);
            return false;
        }
        m_savedDone = m_done;
    }
    return ok;
}

bool ReadingBacklog::recordDone() const
{
    // Written aside and renamed over the old record, so that a crash leaves one or the other.
    const fs::path fresh = m_folder / (std::string(kDoneName) + ".new");
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const std::string text = std::to_string(m_done) + '\n';
    // On the disk before it replaces the old record: a power cut must not leave an empty one.
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size())
        && ::fsync(fd) == 0;
    const int writeError = errno; // the caller reports errno
    const bool closed = ::close(fd) == 0;
    if (!written)
        errno = writeError;
    return written && closed && ::rename(fresh.c_str(), (m_folder / kDoneName).c_str()) == 0;
}

std::optional<WaitingReading> ReadingBacklog::readFromFiles()
{
    if (m_segments.empty())
        return std::nullopt;
    const std::uint64_t after = m_out.empty() ? m_done : m_out.back().reading.seq;
    if (m_readFd < 0) {
        // The last segment that starts at or before the reading wanted.
        m_readFirst = m_segments.front().first;
        for (const Segment& segment : m_segments) {
            if (segment.first <= after + 1)
                m_readFirst = segment.first;
        }
        if (!openReader())
            return std::nullopt;
    }
    while (true) {
        const std::optional<std::string> line = readLine();
        if (!line) {
            // The end of an older segment leads to the next; the newest's end is for now.
            const auto later = std::find_if(m_segments.begin(), m_segments.end(),
                [this](const Segment& s) { return s.first > m_readFirst; });
            if (later == m_segments.end())
                return std::nullopt;
            closeReader();
            m_readFirst = later->first;
            if (!openReader())
                return std::nullopt;
            continue;
        }
        if (auto reading = splitLine(*line); reading && reading->seq > after)
            return reading;
    }
}

bool ReadingBacklog::openReader()
{
    m_readFd = ::open((m_folder / segmentName(m_readFirst)).c_str(), O_RDONLY | O_CLOEXEC);
    m_readBuffer.clear();
    m_readPos = 0;
    return m_readFd >= 0;
}

std::optional<std::string> ReadingBacklog::readLine()
{
    while (true) {
        const std::size_t end = m_readBuffer.find('\n', m_readPos);
        if (end != std::string::npos) {
            std::string line = m_readBuffer.substr(m_readPos, end - m_readPos);
            m_readPos = end + 1;
            return line;
        }
        m_readBuffer.erase(0, m_readPos);
        m_readPos = 0;
        const std::size_t had = m_readBuffer.size();
        m_readBuffer.resize(had + kReadChunk);
        ssize_t count = 0;
        do {
            count = ::read(m_readFd, m_readBuffer.data() + had, kReadChunk);
        } while (count < 0 && errno == EINTR);
        m_readBuffer.resize(had + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count <= 0)
            return std::nullopt;
    }
}

void ReadingBacklog::closeReader()
{
    if (m_readFd >= 0)
        ::close(m_readFd);
    m_readFd = -1;
    m_readBuffer.clear();
    m_readPos = 0;
}

} // namespace clampmeter
