// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_line.h"

#include <cstdint>

namespace clampmeter {

/// What the program tells its session journal, the moment it happens.
class JournalSink {
public:
    JournalSink() = default;
    JournalSink(const JournalSink&) = delete;
    JournalSink& operator=(const JournalSink&) = delete;
    virtual ~JournalSink() = default;

    /// A reading was captured: stored in the list as `record`, or, when the list was full,
    /// not stored (`record` then holds the texts it would have had).
    virtual void readingCaptured(FrameBytes frame, const DataRecord& record, bool stored) = 0;
    /// "Clear list" emptied the list.
    virtual void listCleared() = 0;
    /// Save or To Excel completed with the list's first `records` records.
    virtual void listSaved(SavedFormat format, std::int32_t records) = 0;
};

} // namespace clampmeter
