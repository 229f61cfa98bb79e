// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace clampmeter {

/// An SQLite result code other than the one a step expected; thrown by the helpers below and
/// turned into a store result by sqliteResult().
struct SqliteFault {
    int code = 0;
};

/// The store result for an SQLite result code: kErrorBadDb for a file that is not a database
/// or is damaged, kErrorBusy while another connection holds it, kErrorRegistryIoFailed else.
RegResult sqliteResult(int code);

/// One connection to a database file, closed with the object.
class SqliteDatabase {
public:
    /// Opens or creates the file. A file that cannot be opened leaves the connection closed;
    /// openResult() then tells why. An empty path is never opened.
    explicit SqliteDatabase(const std::filesystem::path& path);
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    bool isOpen() const { return m_db != nullptr; }
    RegResult openResult() const { return m_openResult; }
    sqlite3* handle() const { return m_db; }

    /// Runs statements that return no rows; throws SqliteFault on failure.
    void execute(const char* sql);
    /// Ends the open transaction without its changes; does nothing when none is open.
    void rollback() noexcept;
    /// Rows changed by the last statement.
    std::int64_t changes() const;
    /// Row id of the last row inserted.
    std::int64_t lastInsertId() const;

private:
    sqlite3* m_db = nullptr;
    RegResult m_openResult = kErrorSuccess;
};

/// One prepared statement with bound parameters (numbered from 1) and result columns
/// (numbered from 0). Every failing call throws SqliteFault.
class SqliteStatement {
public:
    SqliteStatement(const SqliteDatabase& db, std::string_view sql);
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    SqliteStatement& bind(int index, std::int64_t value);
    /// Binds bytes as a blob; an empty span binds an empty blob, never NULL.
    SqliteStatement& bind(int index, std::span<const std::uint8_t> bytes);
    SqliteStatement& bind(int index, std::string_view bytes);

    /// true while there is a row to read, false when done.
    bool step();
    /// Runs a statement that returns no rows.
    void run();
    /// Makes the statement ready to run again; its parameters keep their values until bound.
    SqliteStatement& reset();

    std::int64_t columnInt(int column) const;
    std::string columnBytes(int column) const;

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace clampmeter
