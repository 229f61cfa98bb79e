// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/cups_job.h"

#include <cups/cups.h>

namespace clampmeter {

CupsJob submitToCups(
    const std::string& queue, const std::string& file, const std::string& title, bool landscape)
{
    cups_option_t* options = nullptr;
    int count = 0;
    count = cupsAddOption("media", "A4", count, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);
    if (landscape)
        count = cupsAddOption("landscape", "", count, &options);

    // The server knows the queue by its name without the instance.
    const std::string name = queue.substr(0, queue.find('/'));
    CupsJob job;
    job.id = cupsPrintFile(name.c_str(), file.c_str(), title.c_str(), count, options);
    if (job.id == 0)
        job.error = cupsLastErrorString();
    cupsFreeOptions(count, options);
    return job;
}

} // namespace clampmeter
