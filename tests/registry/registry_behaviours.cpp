// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry_behaviours.h"

#include "registry_test_support.h"

#include <gtest/gtest.h>

#include <limits>

namespace clampmeter {
namespace {

void nothing(CDoReg&, BehaviourStore&) { }

void toolKey(CDoReg& reg, BehaviourStore&)
{
    reg.CreatKeyLG("Tool.exe");
}

void lockedKey(CDoReg& reg, BehaviourStore& store)
{
    reg.CreatKeyLG("Locked\\Inner");
    reg.SetStringValueLG("Locked", "Path", "kept");
    store.makeReadableOnly("Locked");
}

std::string toolValue(CDoReg& reg)
{
    return shown(reg.GetKeyValueLG("Tool.exe", "V"));
}

const std::string kMaxName(kMaxKeyNameLength, 'k');

const Behaviour kBehaviours[] = {
    // CreatKeyLG
    {"CreateMakesTheKey", nothing, [](CDoReg& r) { return shown(r.CreatKeyLG("Tool.exe")); }, "-1",
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "true"},
    {"CreateOfAnExistingKeyChangesNothing",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tool.exe\\Sub");
            r.SetStringValueLG("Tool.exe", "V", "C:\\x");
        },
        [](CDoReg& r) { return shown(r.CreatKeyLG("Tool.exe")); }, "-1",
        [](CDoReg& r) { return toolValue(r) + " " + shown(r.SubKeyCount("Tool.exe")); },
        "text:C:\\x 1"},
    {"CreateMakesEveryMissingLevel", nothing,
        [](CDoReg& r) { return shown(r.CreatKeyLG("A\\B\\C")); }, "-1",
        [](CDoReg& r) { return shown(r.SubKeyCount("A")) + " " + shown(r.SubKeyCount("A\\B")); },
        "1 1"},
    {"CreateTakesANameOf255Bytes", nothing, [](CDoReg& r) { return shown(r.CreatKeyLG(kMaxName)); },
        "-1", [](CDoReg& r) { return shown(r.IsExistKeyLG(kMaxName)); }, "true", kWinePathCap},
    {"CreateRefusesANameOf256Bytes", nothing,
        [](CDoReg& r) { return shown(r.CreatKeyLG(kMaxName + "k")); }, "0",
        [](CDoReg& r) { return shown(r.SubKeyCount("")); }, "0"},
    // SetKeyValueLG
    {"SetType4WritesTheTextAsDword", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, std::string("42"))); },
        "true", toolValue, "long:42"},
    {"SetType4ReadsBlanksAndSign", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, std::string(" -7 "))); },
        "true", toolValue, "long:-7"},
    {"SetType4RoundsHalvesToEven", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, 2.5)); }, "true",
        toolValue, "long:2"},
    {"SetType4OfEmptyWritesZero", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, RegVariant {})); }, "true",
        toolValue, "long:0"},
    {"SetType4OfAWordWritesNothing", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, std::string("abc"))); },
        "false", toolValue, "empty"},
    {"SetType4OutOfRangeKeepsTheOldValue",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tool.exe");
            r.SetLongValueLG("Tool.exe", "V", 5);
        },
        [](CDoReg& r) {
            return shown(r.SetKeyValueLG("Tool.exe", "V", 4, std::string("2147483648")));
        },
        "false", toolValue, "long:5"},
    {"SetType1WritesTheNumberAsText", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 1, 42)); }, "true", toolValue,
        "text:42"},
    {"SetType1OfEmptyWritesEmptyText", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 1, RegVariant {})); }, "true",
        toolValue, "text:"},
    {"SetType3WritesNothing", toolKey,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 3, std::string("x"))); },
        "false", toolValue, "empty"},
    {"SetType1DoesNotCreateAMissingKey", nothing,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 1, std::string("x"))); },
        "false", [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false"},
    {"SetType4DoesNotCreateAMissingKey", nothing,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, 1)); }, "false",
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false"},
    {"SetStringDoesNotCreateAMissingKey", nothing,
        [](CDoReg& r) { return shown(r.SetStringValueLG("Tool.exe", "V", "x")); }, "false",
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false"},
    {"SetLongDoesNotCreateAMissingKey", nothing,
        [](CDoReg& r) { return shown(r.SetLongValueLG("Tool.exe", "V", 1)); }, "false",
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false"},
    // GetKeyValueLG
    {"GetString", toolKey,
        [](CDoReg& r) { return shown(r.SetStringValueLG("Tool.exe", "V", "abc")); }, "true",
        toolValue, "text:abc"},
    {"GetStringKeepsEveryByte", toolKey,
        [](CDoReg& r) {
            return shown(
                r.SetStringValueLG("Tool.exe", "V", std::string_view("a\0b\xC3\xA9\x01\0", 7)));
        },
        "true", toolValue, "text:a\\x00b\\xC3\\xA9\\x01\\x00"},
    {"GetEmptyString", toolKey,
        [](CDoReg& r) { return shown(r.SetStringValueLG("Tool.exe", "V", "")); }, "true", toolValue,
        "text:"},
    {"GetDword", toolKey,
        [](CDoReg& r) {
            return shown(
                r.SetLongValueLG("Tool.exe", "V", std::numeric_limits<std::int32_t>::min()));
        },
        "true", toolValue, "long:-2147483648"},
    {"GetBinaryIsEmpty",
        [](CDoReg& r, BehaviourStore& s) {
            r.CreatKeyLG("Tool.exe");
            EXPECT_TRUE(writeRaw(s.store(), "Tool.exe", "V", kRegBinary, {1, 2, 3, 4}));
        },
        toolValue, "empty", nullptr, ""},
    {"GetDwordOfEightBytesIsEmpty",
        [](CDoReg& r, BehaviourStore& s) {
            r.CreatKeyLG("Tool.exe");
            EXPECT_TRUE(writeRaw(s.store(), "Tool.exe", "V", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}));
        },
        toolValue, "empty", nullptr, ""},
    {"GetStringWithoutTerminatorKeepsItsLastByte",
        [](CDoReg& r, BehaviourStore& s) {
            r.CreatKeyLG("Tool.exe");
            EXPECT_TRUE(writeRaw(s.store(), "Tool.exe", "V", kRegSz, {'a', 'b', 'c'}));
        },
        toolValue, "text:abc", nullptr, ""},
    {"GetStringOfNoBytesIsEmptyText",
        [](CDoReg& r, BehaviourStore& s) {
            r.CreatKeyLG("Tool.exe");
            EXPECT_TRUE(writeRaw(s.store(), "Tool.exe", "V", kRegSz, {}));
        },
        toolValue, "text:", nullptr, ""},
    {"GetMissingValueIsEmpty", toolKey, toolValue, "empty", nullptr, ""},
    {"GetOfMissingKeyIsEmpty", nothing, toolValue, "empty", nullptr, ""},
    {"GetFindsAValueWhateverItsCase",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tool.exe");
            r.SetStringValueLG("Tool.exe", "Path", "C:\\Tool");
        },
        [](CDoReg& r) { return shown(r.GetKeyValueLG("TOOL.EXE", "pATH")); }, "text:C:\\Tool",
        nullptr, ""},
    // DeleteKeyLG
    {"DeleteRemovesANestedTree",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tree\\A\\B\\C");
            r.CreatKeyLG("Tree\\A\\D");
            r.CreatKeyLG("Tree\\E");
            r.SetStringValueLG("Tree\\A\\B", "V", "x");
            r.SetLongValueLG("Tree", "N", 3);
            r.CreatKeyLG("Other");
        },
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Tree")); }, "true",
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tree")) + " " + shown(r.SubKeyCount("")); },
        "false 1"},
    {"DeleteRemovesALeaf", toolKey, [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); },
        "true", [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false"},
    {"DeleteOfMissingKeyFails", nothing, [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); },
        "false", nullptr, ""},
    {"DeleteOfEmptyNameLeavesTheBranch", toolKey,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("")); }, "false",
        [](CDoReg& r) {
            return shown(r.IsExistKeyLG("")) + " " + shown(r.IsExistKeyLG("Tool.exe"));
        },
        "true true"},
    // DeleteKeyValueLG
    {"DeleteValue",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tool.exe");
            r.SetLongValueLG("Tool.exe", "V", 1);
        },
        [](CDoReg& r) { return shown(r.DeleteKeyValueLG("Tool.exe", "V")); }, "true", toolValue,
        "empty"},
    {"DeleteOfMissingValueFails", toolKey,
        [](CDoReg& r) { return shown(r.DeleteKeyValueLG("Tool.exe", "V")); }, "false", nullptr, ""},
    {"DeleteValueOfMissingKeyFails", nothing,
        [](CDoReg& r) { return shown(r.DeleteKeyValueLG("Tool.exe", "V")); }, "false", nullptr, ""},
    // SubKeyCount
    {"CountWithoutSubKeysIsZero", toolKey,
        [](CDoReg& r) { return shown(r.SubKeyCount("Tool.exe")); }, "0", nullptr, ""},
    {"CountTakesOnlyDirectSubKeys",
        [](CDoReg& r, BehaviourStore&) {
            r.CreatKeyLG("Tool.exe\\A\\Deeper");
            r.CreatKeyLG("Tool.exe\\B");
            r.CreatKeyLG("Tool.exe\\C");
        },
        [](CDoReg& r) { return shown(r.SubKeyCount("Tool.exe")); }, "3", nullptr, ""},
    {"CountOfMissingKeyIsZero", nothing, [](CDoReg& r) { return shown(r.SubKeyCount("Tool.exe")); },
        "0", nullptr, ""},
    // Keys that exist but are readable only
    {"ReadableOnlyKeyDoesNotExist", lockedKey,
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Locked")); }, "false", nullptr, ""},
    {"ReadableOnlyKeyCannotBeCreated", lockedKey,
        [](CDoReg& r) { return shown(r.CreatKeyLG("Locked")); }, "0", nullptr, ""},
    {"NoKeyCanBeCreatedBelowAReadableOnlyKey", lockedKey,
        [](CDoReg& r) { return shown(r.CreatKeyLG("Locked\\New")); }, "0", nullptr, "",
        "wine does not check the access rules of a key when a key below it is created through "
        "a path from the root"},
    {"ReadableOnlyKeyTakesNoValue", lockedKey,
        [](CDoReg& r) { return shown(r.SetStringValueLG("Locked", "Path", "changed")); }, "false",
        nullptr, ""},
    {"ReadableOnlyKeyGivesNoValue", lockedKey,
        [](CDoReg& r) { return shown(r.GetKeyValueLG("Locked", "Path")); }, "empty", nullptr, ""},
    {"ReadableOnlyKeyCountsNoSubKeys", lockedKey,
        [](CDoReg& r) { return shown(r.SubKeyCount("Locked")); }, "0", nullptr, ""},
    {"ReadableOnlyKeyIsNotDeleted", lockedKey,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Locked")); }, "false",
        [](CDoReg& r) { return shown(r.SubKeyCount("")); }, "1"},
    {"TreeDeletionStopsAtAReadableOnlyKey",
        [](CDoReg& r, BehaviourStore& s) {
            r.CreatKeyLG("Parent\\A-free");
            r.CreatKeyLG("Parent\\B-locked");
            r.CreatKeyLG("Parent\\C-free");
            s.makeReadableOnly("Parent\\B-locked");
        },
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Parent")); }, "false",
        [](CDoReg& r) { return shown(r.SubKeyCount("Parent")); }, "2"},
};

} // namespace

std::span<const Behaviour> registryBehaviours()
{
    return kBehaviours;
}

void checkBehaviour(
    const Behaviour& behaviour, CDoReg& reg, const CountingStore& counted, BehaviourStore& store)
{
    behaviour.arrange(reg, store);
    EXPECT_EQ(behaviour.act(reg), behaviour.expected);
    EXPECT_TRUE(counted.openKeys().empty());
    EXPECT_EQ(counted.opened(), counted.closed());
    if (behaviour.probe) {
        EXPECT_EQ(behaviour.probe(reg), behaviour.expectedProbe);
    }
}

} // namespace clampmeter
