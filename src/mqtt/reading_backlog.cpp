// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mqtt/reading_backlog.h"

#include "journal/state_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSegmentSuffix = ".readings";
constexpr std::string_view kLockName = "lock";
constexpr std::string_view kDoneName = "acknowledged";
constexpr std::string_view kReservedName = "reserved";
constexpr std::size_t kSeqDigits = 20;

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

bool holdFile(JournalFile& file, const fs::path& path)
{
    return file.open(path, JournalFile::Mode::Append)
        || (errno == ENOENT && file.open(path, JournalFile::Mode::Create));
}

/// The number of the reading a line of a file of readings holds in its place: a reading whose
/// number is above `previous`, the one before it in the file. Nothing for any other line.
std::optional<std::uint64_t> readingInPlace(
    StateFileLines::Result result, const std::string& line, std::uint64_t previous)
{
    if (result != StateFileLines::Result::Line)
        return std::nullopt;
    const auto reading = parseBacklogLine(line);
    if (!reading || reading->seq <= previous)
        return std::nullopt;
    return reading->seq;
}

std::string linesText(std::uint64_t count)
{
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

} // namespace

std::optional<WaitingReading> parseBacklogLine(std::string_view line)
{
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space > kSeqDigits)
        return std::nullopt;
    const auto seq = parseNumber(line.substr(0, space));
    const std::string_view payload = line.substr(space + 1);
    if (!seq || *seq == 0 || *seq > ReadingBacklog::kLargestSeq || payload.size() < 2
        || payload.front() != '{' || payload.back() != '}')
        return std::nullopt;
    const bool plain = std::none_of(payload.begin(), payload.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (!plain)
        return std::nullopt;
    return WaitingReading {*seq, std::string(payload)};
}

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
    , m_reader(std::make_unique<StateFileLines>())
{
}

ReadingBacklog::~ReadingBacklog()
{
    // A clean end with every reading on the disk gives the reserved numbers it did not use
    // back, so that the next run goes on without a gap.
    if (sync() && m_unwritten.empty() && m_reserved >= m_next)
        NumberRecord::write(m_folder / kReservedName, m_next - 1);
}

void ReadingBacklog::note(std::string text)
{
    m_notes.push_back(std::move(text));
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
            : "cannot use " + (m_folder / kLockName).string() + ": " + m_lock.errorText();
        return false;
    }
    findSegments();
    std::uint64_t last = 0;
    if (!scanSegments(last)) {
        problem = "cannot read " + m_segments.back().path.string() + ": " + m_failure;
        return false;
    }
    m_done = chooseDone(last);
    chooseNext(last);
    // The readings still waiting: those after the acknowledged ones.
    m_waiting = 0;
    for (const Segment& segment : m_segments) {
        if (m_reader->open(segment.path, kLongestLine)) {
            std::uint64_t previous = segment.first - 1;
            for (StateFileLines::Result result = m_reader->next();
                 result == StateFileLines::Result::Line
                 || result == StateFileLines::Result::TooLong;
                 result = m_reader->next()) {
                if (const auto seq = readingInPlace(result, m_reader->line(), previous)) {
                    previous = *seq;
                    m_waiting += *seq > m_done ? 1 : 0;
                }
            }
        }
    }
    m_reader->close();
    while (m_waiting > m_limit) {
        const std::uint64_t before = m_dropped;
        dropOldestUnsent();
        if (m_dropped == before)
            break;
    }
    if (m_dropped > 0) {
        note(std::to_string(m_dropped) + (m_dropped == 1 ? " reading" : " readings")
            + " waiting beyond the limit: the oldest dropped");
    }
    m_dropped = 0;
    return true;
}

void ReadingBacklog::findSegments()
{
    std::error_code error;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() != kSeqDigits + kSegmentSuffix.size() || !name.ends_with(kSegmentSuffix))
            continue;
        const auto first = parseNumber(std::string_view(name).substr(0, kSeqDigits));
        if (!first || *first == 0 || *first > kLargestSeq) {
            note(it->path().string() + " is named like no reading: left alone");
            continue;
        }
        if (const std::string reason = notARegularFile(it->path()); !reason.empty()) {
            note(it->path().string() + " " + reason + ": left alone");
            continue;
        }
        m_segments.push_back({*first, it->path()});
    }
    std::sort(m_segments.begin(), m_segments.end(),
        [](const Segment& a, const Segment& b) { return a.first < b.first; });
}

bool ReadingBacklog::scanSegments(std::uint64_t& last)
{
    std::uint64_t damaged = 0;
    for (const Segment& segment : m_segments) {
        const bool newest = &segment == &m_segments.back();
        if (!m_reader->open(segment.path, kLongestLine)) {
            note("cannot read " + segment.path.string() + ": " + m_reader->errorText());
            continue;
        }
        std::uint64_t previous = segment.first - 1;
        while (true) {
            const StateFileLines::Result result = m_reader->next();
            if (result == StateFileLines::Result::End)
                break;
            if (result == StateFileLines::Result::Failed) {
                note("cannot read all of " + segment.path.string() + ": " + m_reader->errorText());
                break;
            }
            if (result == StateFileLines::Result::Unfinished) {
                // A line cut short by a power cut is no reading: it goes, so that the next
                // one stands alone. In an older file it is only passed over.
                if (newest) {
                    std::error_code error;
                    fs::resize_file(segment.path, m_reader->lineOffset(), error);
                    if (error) {
                        m_failure = error.message();
                        return false;
                    }
                } else {
                    ++damaged;
                }
                break;
            }
            const auto seq = readingInPlace(result, m_reader->line(), previous);
            if (!seq) {
                ++damaged;
                continue;
            }
            previous = *seq;
            last = std::max(last, *seq);
        }
    }
    m_reader->close();
    if (damaged > 0) {
        note(linesText(damaged) + " in " + m_folder.string()
            + " held no reading in its place (damaged): passed over");
    }
    m_lastOnDisk = last;
    return true;
}

std::uint64_t ReadingBacklog::chooseDone(std::uint64_t last)
{
    // Without a sound record every reading still on disk goes again: repeats, never a loss.
    const std::uint64_t everything = m_segments.empty() ? 0 : m_segments.front().first - 1;
    const fs::path path = m_folder / kDoneName;
    const NumberRecord::Reading record = NumberRecord::read(path);
    // A record is written only after its readings: one beyond every number on disk and
    // reserved cannot be right.
    const NumberRecord::Reading reserved = NumberRecord::read(m_folder / kReservedName);
    const std::uint64_t highest = std::max<std::uint64_t>(last,
        reserved.state == NumberRecord::State::Read && reserved.value <= kLargestSeq
            ? reserved.value
            : 0);
    m_savedDone = kLargestSeq + 1; // rewritten at the next sync unless it is sound
    switch (record.state) {
    case NumberRecord::State::Missing:
        return everything;
    case NumberRecord::State::Damaged:
        note(path.string() + " " + record.problem + " (damaged): every reading on disk goes again");
        return everything;
    case NumberRecord::State::Read:
        break;
    }
    if (record.value > highest) {
        note(path.string() + " says " + std::to_string(record.value)
            + " readings were acknowledged, more than were ever numbered (damaged): every "
              "reading on disk goes again");
        return everything;
    }
    m_savedDone = record.value;
    return std::max<std::uint64_t>(record.value, everything);
}

void ReadingBacklog::chooseNext(std::uint64_t last)
{
    const fs::path path = m_folder / kReservedName;
    const NumberRecord::Reading reserved = NumberRecord::read(path);
    std::uint64_t base = std::max(last, m_done);
    // Room is left above a reservation for the blocks still to come.
    if (reserved.state == NumberRecord::State::Read && reserved.value <= kLargestSeq / 2) {
        base = std::max<std::uint64_t>(base, reserved.value);
    } else if (reserved.state != NumberRecord::State::Missing) {
        note(path.string() + " "
            + (reserved.problem.empty() ? std::string("holds too large a number")
                                        : reserved.problem)
            + " (damaged): the numbering goes on two blocks further");
        base += 2 * kReserveBlock;
    } else if (!m_segments.empty()) {
        // Readings without a reservation, from a version that kept none: its last ones may
        // have been lost after they were sent.
        base += kReserveBlock;
    }
    m_next = base + 1;
    m_reserved = base;
}

bool ReadingBacklog::reserve()
{
    const std::uint64_t wanted = std::max(m_reserved, m_next - 1 + kReserveBlock);
    const std::string reason = NumberRecord::write(m_folder / kReservedName, wanted);
    // Given out all the same: numbers kept only in memory are lost with a power cut, and a
    // reading would wait for a disk that may never come back. The next sync tries again.
    m_reserved = wanted;
    m_reservationOnDisk = reason.empty();
    if (!m_reservationOnDisk)
        m_failure
            = "cannot reserve numbers in " + (m_folder / kReservedName).string() + ": " + reason;
    return m_reservationOnDisk;
}

bool ReadingBacklog::startSegment(std::uint64_t first)
{
    m_writer.close();
    const fs::path path = m_folder / segmentName(first);
    if (!m_writer.open(path, JournalFile::Mode::Create)) {
        m_failure = m_writer.errorText();
        return false;
    }
    m_segments.push_back({first, path});
    return true;
}

bool ReadingBacklog::writeLine(const WaitingReading& reading)
{
    const bool full
        = m_segments.empty() || reading.seq - m_segments.back().first >= kSegmentReadings;
    if (full && !startSegment(reading.seq))
        return false;
    if (!m_writer.isOpen() && !holdFile(m_writer, m_segments.back().path)) {
        m_failure = m_writer.errorText();
        return false;
    }
    const std::string line = std::to_string(reading.seq) + ' ' + reading.payload + '\n';
    std::size_t written = 0;
    if (!m_writer.append(line, written)) {
        m_failure = m_writer.errorText();
        if (written > 0) {
            // Part of the line reached the file: cut it off before the next one follows. The
            // reader may hold the start of it: it reads the file afresh.
            m_writer.close();
            m_reader->close();
            m_reading = false;
            std::error_code error;
            const auto size = fs::file_size(m_segments.back().path, error);
            if (!error)
                fs::resize_file(m_segments.back().path, size - written, error);
        }
        return false;
    }
    m_lastOnDisk = reading.seq;
    m_unsynced = true;
    return true;
}

bool ReadingBacklog::writeUnwritten()
{
    while (!m_unwritten.empty()) {
        if (!writeLine(m_unwritten.front()))
            return false;
        m_unwritten.pop_front();
    }
    return true;
}

bool ReadingBacklog::append(std::string_view payload)
{
    // A reservation the disk refused is tried again by sync(), not at every reading.
    const bool numbered = m_next <= m_reserved ? m_reservationOnDisk : reserve();
    const WaitingReading reading {m_next, std::string(payload)};
    ++m_next;
    ++m_waiting;
    bool kept = false;
    if (m_unwritten.empty()) {
        kept = writeLine(reading);
        if (!kept)
            m_unwritten.push_back(reading);
    } else {
        m_unwritten.push_back(reading);
        kept = writeUnwritten();
    }
    if (m_unwritten.size() > kMostUnwritten) {
        // The oldest that is not out: one that is out is settled by the broker soon.
        const std::uint64_t out = m_out.empty() ? m_done : m_out.back().reading.seq;
        const auto unsent = std::find_if(m_unwritten.begin(), m_unwritten.end(),
            [out](const WaitingReading& r) { return r.seq > out; });
        if (unsent != m_unwritten.end()) {
            m_unwritten.erase(unsent);
            --m_waiting;
            ++m_dropped;
        }
    }
    while (m_waiting > m_limit) {
        const std::uint64_t before = m_dropped;
        dropOldestUnsent();
        if (m_dropped == before)
            break;
    }
    return numbered && kept;
}

void ReadingBacklog::dropOldestUnsent()
{
    std::optional<WaitingReading> oldest = takeNext();
    if (!oldest)
        return;
    m_out.push_back({std::move(*oldest), false, false});
    ++m_dropped;
    // Settled as if acknowledged, never sent: its number stays unused.
    acknowledge(m_out.back().reading.seq);
}

std::optional<WaitingReading> ReadingBacklog::take()
{
    for (std::size_t i = m_resendFrom; i < m_out.size(); ++i) {
        OutReading& out = m_out[i];
        if (!out.sent && !out.settled) {
            out.sent = true;
            m_resendFrom = i + 1;
            return out.reading;
        }
    }
    m_resendFrom = m_out.size();
    std::optional<WaitingReading> reading = takeNext();
    if (reading) {
        m_out.push_back({*reading});
        m_resendFrom = m_out.size();
    }
    return reading;
}

std::optional<WaitingReading> ReadingBacklog::takeNext()
{
    const std::uint64_t after = m_out.empty() ? m_done : m_out.back().reading.seq;
    if (std::optional<WaitingReading> reading = readFromFiles(after))
        return reading;
    const auto unwritten = std::find_if(m_unwritten.begin(), m_unwritten.end(),
        [after](const WaitingReading& r) { return r.seq > after; });
    if (unwritten == m_unwritten.end())
        return std::nullopt;
    return *unwritten;
}

void ReadingBacklog::acknowledge(std::uint64_t seq)
{
    const auto found = std::lower_bound(m_out.begin(), m_out.end(), seq,
        [](const OutReading& out, std::uint64_t s) { return out.reading.seq < s; });
    if (found == m_out.end() || found->reading.seq != seq || found->settled)
        return;
    found->settled = true;
    --m_waiting;
    std::uint64_t done = m_done;
    for (const OutReading& out : m_out) {
        if (!out.settled)
            break;
        done = out.reading.seq;
    }
    settle(done);
}

void ReadingBacklog::putBack()
{
    for (OutReading& out : m_out)
        out.sent = out.settled;
    m_resendFrom = 0;
}

void ReadingBacklog::giveBack(std::uint64_t seq)
{
    const auto found = std::lower_bound(m_out.begin(), m_out.end(), seq,
        [](const OutReading& out, std::uint64_t s) { return out.reading.seq < s; });
    if (found == m_out.end() || found->reading.seq != seq)
        return;
    found->sent = false;
    m_resendFrom = std::min(m_resendFrom, static_cast<std::size_t>(found - m_out.begin()));
}

void ReadingBacklog::settle(std::uint64_t done)
{
    if (done <= m_done)
        return;
    // Each one here was counted off when it was settled.
    while (!m_out.empty() && m_out.front().reading.seq <= done) {
        m_out.pop_front();
        m_resendFrom = m_resendFrom > 0 ? m_resendFrom - 1 : 0;
    }
    // Acknowledged before the disk took them: nothing is left to keep.
    while (!m_unwritten.empty() && m_unwritten.front().seq <= done)
        m_unwritten.pop_front();
    m_done = done;
    removeSettledSegments();
}

void ReadingBacklog::removeSettledSegments()
{
    // The newest stays: the next reading goes into it.
    while (m_segments.size() > 1 && m_segments[1].first - 1 <= m_done) {
        if (m_reading && m_readFirst == m_segments.front().first) {
            m_reader->close();
            m_reading = false;
        }
        std::error_code error;
        fs::remove(m_segments.front().path, error);
        m_segments.pop_front();
    }
}

bool ReadingBacklog::sync()
{
    bool ok = true;
    if (!m_reservationOnDisk && !reserve())
        ok = false;
    if (!writeUnwritten())
        ok = false;
    if (m_unsynced && m_writer.isOpen() && !m_writer.sync()) {
        m_failure = m_writer.errorText();
        ok = false; // still unsynced: the next sync tries again
    } else {
        m_unsynced = false;
    }
    if (m_done != m_savedDone) {
        if (const std::string reason = NumberRecord::write(m_folder / kDoneName, m_done);
            !reason.empty()) {
            m_failure = reason;
            return false;
        }
        m_savedDone = m_done;
    }
    return ok;
}

std::optional<WaitingReading> ReadingBacklog::readFromFiles(std::uint64_t after)
{
    if (m_segments.empty() || after >= m_lastOnDisk)
        return std::nullopt;
    if (!m_reading) {
        // The last segment that starts at or before the reading wanted.
        std::uint64_t first = m_segments.front().first;
        for (const Segment& segment : m_segments) {
            if (segment.first <= after + 1)
                first = segment.first;
        }
        if (!openReader(first))
            return std::nullopt;
    }
    while (true) {
        const StateFileLines::Result result = m_reader->next();
        if (result == StateFileLines::Result::Line || result == StateFileLines::Result::TooLong) {
            const auto reading = result == StateFileLines::Result::Line
                ? parseBacklogLine(m_reader->line())
                : std::nullopt;
            if (reading && reading->seq > after)
                return reading;
            continue;
        }
        // The end of an older segment leads to the next; the newest's end is for now.
        const auto later = std::find_if(m_segments.begin(), m_segments.end(),
            [this](const Segment& s) { return s.first > m_readFirst; });
        if (later == m_segments.end() || !openReader(later->first))
            return std::nullopt;
    }
}

bool ReadingBacklog::openReader(std::uint64_t first)
{
    m_readFirst = first;
    const auto segment = std::find_if(m_segments.begin(), m_segments.end(),
        [first](const Segment& s) { return s.first == first; });
    m_reading = segment != m_segments.end() && m_reader->open(segment->path, kLongestLine);
    return m_reading;
}

} // namespace clampmeter
