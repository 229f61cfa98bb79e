// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/sqlite_registry_schema.h"

#include "registry/registry_path.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace clampmeter {
namespace {

// "ClRg" in the database header marks a database as a registry store; any other is left alone.
constexpr std::int64_t kApplicationId = 0x436C5267;
constexpr std::int64_t kSchemaVersion = 1;

constexpr const char* kSchema = R"(
CREATE TABLE reg_keys (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES reg_keys (id),
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    depth INTEGER NOT NULL,
    readable_only INTEGER NOT NULL DEFAULT 0,
    UNIQUE (parent, folded)
);
CREATE TABLE reg_values (
    key INTEGER NOT NULL REFERENCES reg_keys (id),
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, folded)
) WITHOUT ROWID;
INSERT INTO reg_keys (id, parent, name, folded, depth)
    VALUES (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', 0);
PRAGMA application_id = 1131172455;
PRAGMA user_version = 1;
)";
static_assert(kApplicationId == 1131172455, "the schema text repeats the application id");

// Every Windows machine has this branch; the store starts with it so that it behaves the same.
constexpr std::array<std::string_view, 5> kBranch
    = {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion", "App Paths"};

enum class SchemaState { Empty, Ours, Foreign };

SchemaState schemaState(const SqliteDatabase& db)
{
    SqliteStatement applicationId(db, "PRAGMA application_id");
    SqliteStatement version(db, "PRAGMA user_version");
    SqliteStatement objects(db, "SELECT count(*) FROM sqlite_schema");
    applicationId.step();
    version.step();
    objects.step();
    if (applicationId.columnInt(0) == kApplicationId && version.columnInt(0) == kSchemaVersion)
        return SchemaState::Ours;
    if (applicationId.columnInt(0) == 0 && objects.columnInt(0) == 0)
        return SchemaState::Empty;
    return SchemaState::Foreign;
}

void createSchema(SqliteDatabase& db)
{
    db.execute(kSchema);
    std::int64_t parent = 1;
    std::int64_t depth = 0;
    for (const std::string_view name : kBranch) {
        SqliteStatement insert(
            db, "INSERT INTO reg_keys (parent, name, folded, depth) VALUES (?, ?, ?, ?)");
        insert.bind(1, parent).bind(2, name).bind(3, foldName(name)).bind(4, ++depth).run();
        parent = db.lastInsertId();
    }
}

} // namespace

RegResult prepareRegistrySchema(SqliteDatabase& db)
{
    if (!db.isOpen())
        return db.openResult();
    try {
        if (schemaState(db) == SchemaState::Ours)
            return kErrorSuccess;
        db.execute("BEGIN IMMEDIATE");
        try {
            // Looked at again under the write lock: another process may have set it up meanwhile.
            const SchemaState state = schemaState(db);
            if (state == SchemaState::Foreign) {
                db.rollback();
                return kErrorBadDb;
            }
            if (state == SchemaState::Empty)
                createSchema(db);
            db.execute("COMMIT");
        } catch (...) {
            db.rollback();
            throw;
        }
        return kErrorSuccess;
    } catch (const SqliteFault& fault) {
        return sqliteResult(fault.code);
    }
}

} // namespace clampmeter
