// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/c_do_reg.h"
#include "registry/registry_store.h"

#include "counting_store.h"

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace clampmeter {

/// Why a 255-character name below the branch cannot be tried under wine; Windows caps each
/// level at 255 characters, wine a whole ANSI sub-key path at 259.
inline constexpr const char* kWinePathCap
    = "wine caps an ANSI sub-key path at 259 characters (error 234), so a 255-character name "
      "below the branch cannot be reached";

/// The store a case of the registry class's behaviour is arranged in.
class BehaviourStore {
public:
    virtual ~BehaviourStore() = default;
    /// The store below the class, for writing values the class cannot write.
    virtual RegistryStore& store() = 0;
    /// Makes the existing key `subKeyName` one that can be read but not opened with full
    /// access, as a key of another user's.
    virtual void makeReadableOnly(std::string_view subKeyName) = 0;
};

/// One case: what is there before, the call, its result as a text, and what the store holds
/// afterwards, seen through the class again.
struct Behaviour {
    const char* name;
    std::function<void(CDoReg&, BehaviourStore&)> arrange;
    std::function<std::string(CDoReg&)> act;
    std::string expected;
    // What the store holds afterwards, seen through the class again.
    std::function<std::string(CDoReg&)> probe;
    std::string expectedProbe;
    // Why wine gives another result than Windows, for the few cases where it does.
    const char* wineDiffers = nullptr;
};

// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const Behaviour& row, std::ostream* out)
{
    *out << row.name;
}

/// Every case of the registry class's behaviour, the same for every store.
std::span<const Behaviour> registryBehaviours();

/// Arranges the case in `store`, then checks its result through `reg` (which works on
/// `counted`), that every key it opened is closed, and what the store holds afterwards.
void checkBehaviour(
    const Behaviour& behaviour, CDoReg& reg, const CountingStore& counted, BehaviourStore& store);

} // namespace clampmeter
