// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"
#include "registry/sqlite_database.h"

namespace clampmeter {

/// Makes sure `db` holds the tables of the registry store. An empty database gets them, with
/// the root key (id 1) and the key SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths, in one
/// transaction. A database of any other kind is left untouched: kErrorBadDb. A file that is not
/// a database, or cannot be read, gives the matching error of sqliteResult().
RegResult prepareRegistrySchema(SqliteDatabase& db);

} // namespace clampmeter
