// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <iostream>

int main()
{
    std::cout << "clampmeter-cli\n";
    return 0;
}
