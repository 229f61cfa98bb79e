// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A second process for the store tests: opens the store file given as its argument, checks
// what the test process left there and adds a key of its own. Exit code 0 when all is well.

#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"

#include <string>

int main(int argc, char** argv)
{
    using namespace clampmeter;
    if (argc != 2)
        return 64;
    SqliteRegistryStore store(argv[1]);
    CDoReg reg(store);
    if (reg.GetKeyValueLG("Kept.exe", "Path") != RegVariant(std::string("C:\\Kept\\kept.exe")))
        return 1;
    if (reg.GetKeyValueLG("Kept.exe", "Count") != RegVariant(7))
        return 2;
    if (reg.SubKeyCount("Kept.exe") != 1)
        return 3;
    if (reg.CreatKeyLG("FromChild.exe") != -1 || !reg.SetLongValueLG("FromChild.exe", "Pid", 1))
        return 4;
    return 0;
}
