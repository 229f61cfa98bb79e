// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A session journal of any bytes, as a crash, a power cut or another program may leave it:
// reading it never fails, what it says of the list holds together, and every line it took
// reads back the same when written again.

#include "fuzz_check.h"
#include "journal/journal_reader.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

using namespace clampmeter;
using fuzz::check;

void checkRecords(const JournalSession& session)
{
    const auto records = journalRecords(session, JournalRange::SinceLastClear);
    check(records.size() == session.listReadings(), "the list's records are its readings");
    for (std::size_t i = 0; i < records.size(); ++i) {
        check(records[i].No == static_cast<std::int32_t>(i + 1), "records numbered from 1");
        check(records[i].StampText == records[i].DateText + "\\" + records[i].TimeText,
            "stamp is date, backslash, time");
    }
}

void checkRoundTrip(const JournalSession& session)
{
    std::string again;
    for (const JournalReading& reading : session.readings)
        appendReadingLine(
            again, reading.utc, FrameBytes(reading.frame), reading.record, reading.stored);
    std::istringstream in(again);
    const JournalSession reread = readJournal(in);
    check(reread.brokenLines == 0, "a reading written again reads back whole");
    check(reread.readings.size() == session.readings.size(), "every reading reads back");
    for (std::size_t i = 0; i < reread.readings.size(); ++i) {
        const DataRecord& a = reread.readings[i].record;
        const DataRecord& b = session.readings[i].record;
        check(a.FunText == b.FunText && a.DataText == b.DataText && a.UnitText == b.UnitText
                && a.DateText == b.DateText && a.TimeText == b.TimeText,
            "texts read back the same");
        check(reread.readings[i].frame == session.readings[i].frame, "frame reads back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const JournalSession session = readJournal(in);
    check(session.listStart <= session.readings.size(), "the list starts within the session");
    check(session.savedReadings <= session.listReadings(), "no more saved than listed");
    checkRecords(session);
    checkRoundTrip(session);
    return 0;
}
