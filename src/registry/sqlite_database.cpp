// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/sqlite_database.h"

#include <sqlite3.h>

#include <system_error>

namespace clampmeter {
namespace {

// Another process may be writing the same file: wait for it rather than fail at once.
constexpr int kBusyTimeoutMs = 5000;

void check(int code)
{
    if (code != SQLITE_OK)
        throw SqliteFault {code};
}

} // namespace

RegResult sqliteResult(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
        return kErrorSuccess;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_SCHEMA:
        return kErrorBadDb;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kErrorBusy;
    default:
        return kErrorRegistryIoFailed;
    }
}

SqliteDatabase::SqliteDatabase(const std::filesystem::path& path)
{
    if (path.empty()) {
        m_openResult = kErrorRegistryIoFailed;
        return;
    }
    // An absolute name can be neither ":memory:" nor a URI: the file is always the file given.
    std::error_code error;
    const auto file = std::filesystem::absolute(path, error);
    if (error) {
        m_openResult = kErrorRegistryIoFailed;
        return;
    }
    const int code
        = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) {
        m_openResult = sqliteResult(code);
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(m_db);
}

void SqliteDatabase::execute(const char* sql)
{
    if (m_db == nullptr)
        throw SqliteFault {SQLITE_CANTOPEN};
    check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

void SqliteDatabase::rollback() noexcept
{
    // SQLite has already rolled back after some errors: then there is nothing left to undo.
    if (m_db != nullptr && sqlite3_get_autocommit(m_db) == 0)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::int64_t SqliteDatabase::changes() const
{
    return sqlite3_changes64(m_db);
}

std::int64_t SqliteDatabase::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

SqliteStatement::SqliteStatement(const SqliteDatabase& db, std::string_view sql)
    : m_db(db.handle())
{
    if (m_db == nullptr)
        throw SqliteFault {SQLITE_CANTOPEN};
    check(
        sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        check(sqlite3_bind_zeroblob(m_statement, index, 0));
    else
        check(
            sqlite3_bind_blob64(m_statement, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view bytes)
{
    return bind(index,
        std::span<const std::uint8_t>(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

bool SqliteStatement::step()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    throw SqliteFault {code};
}

void SqliteStatement::run()
{
    while (step()) { }
}

SqliteStatement& SqliteStatement::reset()
{
    check(sqlite3_reset(m_statement));
    return *this;
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string SqliteStatement::columnBytes(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    if (data == nullptr || size <= 0)
        return {};
    return std::string(data, static_cast<std::size_t>(size));
}

} // namespace clampmeter
