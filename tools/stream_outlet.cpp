// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulator's bytes back to back into a stream (a capture file), on every platform.

#include "burst_outlet.h"
#include "checked_output.h"

#include <ostream>

namespace clampmeter::cli {
namespace {

class StreamOutlet final : public BurstOutlet {
public:
    explicit StreamOutlet(std::ostream& out)
        : m_out(out)
    {
    }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        return m_out.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    }

    bool finish(const StopSignals& /*stop*/) override { return m_out.flush(); }

    std::string failure() const override { return m_out.failure(); }

private:
    CheckedOutput m_out;
};

} // namespace

std::unique_ptr<BurstOutlet> streamOutlet(std::ostream& out)
{
    return std::make_unique<StreamOutlet>(out);
}

} // namespace clampmeter::cli
