// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/artwork_scale.h"

#include <gtest/gtest.h>

namespace clampmeter {
namespace {

TEST(ArtworkScale, TheNearestPreparedScaleServesEachScreen)
{
    const struct {
        double screen;
        double picked;
    } cases[] = {
        {1.0, 1.0},
        {1.25, 1.25},
        {1.5, 1.5},
        {2.0, 2.0},
        {1.1, 1.0},
        {1.3, 1.25},
        {1.7, 1.5},
        // Halfway: the larger, shrunk rather than blown up.
        {1.125, 1.25},
        {1.375, 1.5},
        {1.75, 2.0},
        // Beyond the prepared ones: the nearest end.
        {0.75, 1.0},
        {3.0, 2.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nearestArtworkScale(c.screen), c.picked) << "screen scale " << c.screen;
}

} // namespace
} // namespace clampmeter
