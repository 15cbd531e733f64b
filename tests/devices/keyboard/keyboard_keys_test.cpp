#include <gtest/gtest.h>

#include "devices/keyboard/key_labels.h"
#include "devices/keyboard/key_marks.h"
#include "devices/keyboard/key_table_builder.h"
#include "devices/keyboard/keyboard_key_table.h"
#include "profiles/keyboard_profile_data.h"
#include "tests/devices/keyboard/keyboard_files.h"
#include "tests/devices/keyboard/keyboard_test_support.h"

namespace rerov::test {
namespace {

KeyAssignment Assign(int key, uint8_t type, uint8_t value, uint8_t code) {
    KeyAssignment a;
    a.keyIndex = static_cast<uint16_t>(key);
    a.type = type;
    a.value = value;
    a.code = code;
    return a;
}

// The factory key list: every key does its own job.
std::vector<KeyEntry> FactoryKeys() {
    std::vector<KeyEntry> keys;
    for (int k = 0; k < kKeyboardKeyCount; ++k) {
        const KeyCodeTriple t = FactoryTripleOfKey(k);
        const KeyAssignment a = Assign(k, t.type, t.value, t.code);
        keys.push_back({a, a});
    }
    return keys;
}

void GiveMacro(std::vector<KeyEntry>* keys, int key, int macro) {
    (*keys)[static_cast<size_t>(key)].current = Assign(key, 0x70, static_cast<uint8_t>(macro), 1);
}

// Key k at position k + 1 for every key below `count` (position 0 holds no key).
PositionMaps ShiftedMaps(int count) {
    PositionMaps maps;
    for (int k = 0; k < count; ++k)
        maps.keyPosition[static_cast<uint8_t>(k)] = static_cast<uint8_t>(k + 1);
    return maps;
}

std::array<uint8_t, 3> TripleAt(const std::vector<uint8_t>& table, int position) {
    const auto p = static_cast<size_t>(position) * 3;
    return {table[p], table[p + 1], table[p + 2]};
}

TEST(KeyTableBuild, NumbersMacrosInOrderOfFirstUse) {
    std::vector<KeyEntry> keys = FactoryKeys();
    GiveMacro(&keys, 3, 5);
    GiveMacro(&keys, 10, 2);
    GiveMacro(&keys, 40, 5);
    const PositionMaps maps = ShiftedMaps(126);
    EXPECT_EQ(UsedMacroList(keys, maps, 6), (std::vector<int>{5, 2}));
    const KeyTableBuild build = BuildKeyTable({}, 0, keys, maps, 6);
    EXPECT_EQ(build.usedMacros, (std::vector<int>{5, 2}));
    EXPECT_EQ(TripleAt(build.table, 4), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(TripleAt(build.table, 41), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(TripleAt(build.table, 11), (std::array<uint8_t, 3>{0x70, 1, 1}));
}

TEST(KeyTableBuild, SendsReferencesToMissingMacrosAsTheKeysDefault) {
    struct Case {
        int macroCount;
        int macro;
        bool kept;
    };
    for (const Case c :
         {Case{4, 9, false}, Case{4, 4, false}, Case{0, 0, false}, Case{4, 3, true}}) {
        std::vector<KeyEntry> keys = FactoryKeys();
        GiveMacro(&keys, 7, c.macro);
        const KeyTableBuild build = BuildKeyTable({}, 0, keys, ShiftedMaps(126), c.macroCount);
        const KeyCodeTriple factory = FactoryTripleOfKey(7);
        const std::array<uint8_t, 3> expected =
            c.kept ? std::array<uint8_t, 3>{0x70, 0, 1}
                   : std::array<uint8_t, 3>{factory.type, factory.value, factory.code};
        EXPECT_EQ(TripleAt(build.table, 8), expected)
            << "macro " << c.macro << " of " << c.macroCount;
        EXPECT_EQ(UsedMacroList(keys, ShiftedMaps(126), c.macroCount).size(), c.kept ? 1u : 0u);
    }
}

TEST(KeyTableBuild, KeepsFactoryCodesWhereNoKeyIsWritten) {
    std::vector<uint8_t> factory(30);
    for (size_t i = 0; i < factory.size(); ++i) factory[i] = static_cast<uint8_t>(0x80 + i);
    std::vector<KeyEntry> keys = FactoryKeys();
    keys[2].current = Assign(2, 0x30, 0xE2, 0);
    GiveMacro(&keys, 5, 0);  // no position: neither written nor numbered
    PositionMaps maps;
    maps.keyPosition[2] = 6;
    const KeyTableBuild build = BuildKeyTable(factory, 10, keys, maps, 3);
    EXPECT_EQ(TripleAt(build.table, 6), (std::array<uint8_t, 3>{0x30, 0xE2, 0}));
    for (int p = 0; p < 10; ++p) {
        if (p == 6) continue;
        EXPECT_EQ(TripleAt(build.table, p), TripleAt(factory, p)) << "position " << p;
    }
    EXPECT_EQ(build.table.size(), kKeyTableBufferSize);
    EXPECT_EQ(build.table[30], 0) << "past the device's positions the buffer is zero";
    EXPECT_TRUE(build.usedMacros.empty());
}

TEST(KeyTableBuild, WritesOnlyTheFirst126Keys) {
    std::vector<KeyEntry> keys = FactoryKeys();
    keys[130].current = Assign(130, 0x30, 0xE9, 0);
    PositionMaps maps;
    maps.keyPosition[130] = 1;
    const KeyTableBuild build = BuildKeyTable({}, 0, keys, maps, 0);
    EXPECT_EQ(TripleAt(build.table, 1), (std::array<uint8_t, 3>{0, 0, 0}));
}

std::string Key(const std::string& key) { return key; }

TEST(KeyLabels, NameEachKindOfAssignment) {
    const std::vector<std::string> macros = {"a", "b", "c"};
    struct Case {
        KeyAssignment assignment;
        std::string label;
    };
    const Case cases[] = {
        {Assign(0, 0x20, 0x01, 0x04), "keyboard_key_LCtrl+keyboard_key_A"},
        {Assign(0, 0x20, 0x10, 0x06), "custem_copy"},
        {Assign(0, 0x20, 0x00, 0x00), "com_key_nothing"},
        {Assign(0, 0x20, 0x00, 0x29), "keyboard_key_Esc"},
        {Assign(0, 0x70, 2, 1), "c"},
        {Assign(0, 0x71, 3, 1), ""},
        {Assign(0, 0x05, 0, 0), "关闭"},
        {Assign(0, 0x11, 0, 0x80), "mouse_key_right_Swing"},
        {Assign(0, 0x12, 0, 0x01), "mouse_key_up_Swing"},
        {Assign(0, 0x14, 0x50, 2), "mouse_key_fire_key"},
        {Assign(0, 0x22, 0, 4), "custem_copy"},
        {Assign(0, 0xA0, 0x00, 0), "com_key_nothing"},
        {Assign(0, 0x50, 1, 1), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AssignmentLabel(c.assignment, macros, Key), c.label)
            << std::hex << int(c.assignment.type) << " " << int(c.assignment.value) << " "
            << int(c.assignment.code);
    }
    // Texts come through the language.
    EXPECT_EQ(AssignmentLabel(
                  Assign(0, 0x20, 0x01, 0x04), macros,
                  [](const std::string& k) { return k == "keyboard_key_LCtrl" ? "Ctrl" : "A"; }),
              "Ctrl+A");
}

TEST(KeyLabels, ToolTipJoinsTheKeysNameAndItsLabel) {
    EXPECT_EQ(DefaultKeyName(0, Key), "keyboard_key_Esc");
    EXPECT_EQ(DefaultKeyName(150, Key), "");
    EXPECT_EQ(KeyToolTipText("Esc", "Mute", Key), "EscKey_SetMute");
    EXPECT_TRUE(LabelIsDefaultName("Esc", "ESC"));
    EXPECT_FALSE(LabelIsDefaultName("Esc", "Mute"));
}

TEST(KeyMarks, FollowTheSelectedAndTheEditedKeys) {
    std::vector<KeyEntry> keys = FactoryKeys();
    std::vector<KeyMarkFlags> marks(keys.size());
    const auto all = [](int) { return true; };
    const auto pending = [&](int k) { return !marks[static_cast<size_t>(k)].pendingMark; };

    EXPECT_EQ(SelectKeyMarks(&marks, keys, 3, all), (std::vector<int>{3}));
    EXPECT_TRUE(pending(3));
    // Key 3 was not edited: selecting another key takes its mark away.
    SelectKeyMarks(&marks, keys, 5, all);
    EXPECT_FALSE(pending(3));
    EXPECT_TRUE(pending(5));
    // Key 5 edited: it keeps its mark while key 8 is selected.
    keys[5].current = Assign(5, 0x30, 0xE2, 0);
    SelectKeyMarks(&marks, keys, 8, all);
    EXPECT_TRUE(pending(5));
    EXPECT_TRUE(pending(8));
    // Key 5 back to its default and selected again: its mark goes.
    keys[5].current = keys[5].defaults;
    SelectKeyMarks(&marks, keys, 5, all);
    EXPECT_FALSE(pending(5));
    EXPECT_FALSE(pending(8));
    // A key without a button is left alone; a key past the list selects nothing.
    EXPECT_TRUE(SelectKeyMarks(&marks, keys, 9, [](int k) { return k != 9; }).empty());
    EXPECT_TRUE(SelectKeyMarks(&marks, keys, 170, all).empty());
}

using KeyboardKeys = KeyboardSimTest;

TEST_F(KeyboardKeys, DownloadRenumbersMacrosIntoTheDeviceTable) {
    WriteMacros(ProfileFolder(), 6);
    Connect();
    ASSERT_TRUE(device_->ReadGeometry());
    std::vector<KeyEntry> keys = FactoryKeys();
    GiveMacro(&keys, 3, 5);
    GiveMacro(&keys, 40, 5);
    GiveMacro(&keys, 10, 2);
    device_->SetKeyList(keys);
    EXPECT_TRUE(device_->LastSaveSucceeded());
    EXPECT_EQ(device_->UsedMacros(), (std::vector<int>{5, 2}));
    EXPECT_EQ(device_->DownloadKeyAssignments(0), 1);

    const std::vector<uint8_t> table = Firmware().KeyTable();
    EXPECT_EQ(TripleAt(table, device_->KeyPosition(3)), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(TripleAt(table, device_->KeyPosition(40)), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(TripleAt(table, device_->KeyPosition(10)), (std::array<uint8_t, 3>{0x70, 1, 1}));
    // Every other position holds its factory code; the key list itself is not renumbered.
    const std::vector<uint8_t> factory = Firmware().FactoryKeyTable();
    for (int p = 0; p < Firmware().KeyPositionCount(); ++p) {
        if (p == device_->KeyPosition(3) || p == device_->KeyPosition(40) ||
            p == device_->KeyPosition(10))
            continue;
        ASSERT_EQ(TripleAt(table, p), TripleAt(factory, p)) << "position " << p;
    }
    EXPECT_EQ(device_->KeyList()[3].current.value, 5);
}

TEST_F(KeyboardKeys, StaleMacroReferencesReachTheDeviceAsDefaults) {
    for (const bool listPresent : {true, false}) {
        if (listPresent) {
            WriteMacros(ProfileFolder(), 4);
        } else {
            std::filesystem::remove(ProfileFolder() / "macro.config");
        }
        Connect();
        ASSERT_TRUE(device_->ReadGeometry());
        std::vector<KeyEntry> keys = FactoryKeys();
        GiveMacro(&keys, 0, listPresent ? 9 : 0);
        ASSERT_EQ(device_->WriteKeyAssignments(0, keys), 1);
        const KeyCodeTriple esc = FactoryTripleOfKey(0);
        EXPECT_EQ(TripleAt(Firmware().KeyTable(), device_->KeyPosition(0)),
                  (std::array<uint8_t, 3>{esc.type, esc.value, esc.code}))
            << (listPresent ? "macro 9 of 4" : "no macro list");
    }
}

TEST_F(KeyboardKeys, KeyDownloadReportsWhatTheLinkDid) {
    EXPECT_EQ(device_->WriteKeyAssignments(0, FactoryKeys()), 0) << "no device";
    EXPECT_TRUE(Sent().empty());
    Connect();
    ASSERT_TRUE(device_->ReadGeometry());
    ClearTrace();
    EXPECT_EQ(device_->WriteKeyAssignments(1, FactoryKeys()), kResultBadPage);
    EXPECT_TRUE(Sent().empty());

    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 2, 0x09, std::chrono::milliseconds(0)});
    EXPECT_EQ(device_->WriteKeyAssignments(0, FactoryKeys()), kResultStatusFE);
    EXPECT_EQ(Sent(0x09).size(), 2u) << "the download stops at the refused chunk";
    EXPECT_FALSE(Firmware().SessionOpen());
}

TEST_F(KeyboardKeys, LabelsAndMarksReachThePage) {
    WriteMacros(ProfileFolder(), 3);
    RecordingKeyView view;
    view.missingKey = 2;
    device_->SetTextLookup([](const std::string& key) {
        if (key == "keyboard_key_Esc") return std::string("Esc");
        if (key == "Key_Set") return std::string(" -> ");
        return key;
    });
    device_->SetView(&view);
    ASSERT_EQ(device_->ApplyProfile(), 1);
    std::vector<KeyEntry> keys = device_->KeyList();
    keys[1].current = Assign(1, 0x30, 0xE2, 0);  // a media key on F1
    GiveMacro(&keys, 4, 1);
    GiveMacro(&keys, 2, 0);  // no button: nothing shown
    device_->SetKeyList(keys);
    device_->ShowSettings();

    EXPECT_EQ(view.labels.at(0), "Esc -> Esc");
    EXPECT_TRUE(device_->KeyMarks(0).changed) << "Esc does its own job";
    EXPECT_EQ(device_->KeyLabel(4), "m1");
    EXPECT_EQ(view.labels.at(4), "keyboard_key_F4 -> m1");
    EXPECT_FALSE(device_->KeyMarks(1).changed);
    EXPECT_FALSE(view.marks.at(1).first);
    EXPECT_EQ(view.labels.count(2), 0u);

    device_->ClearKeyMarks();
    EXPECT_TRUE(view.marks.at(1).first);
    device_->SelectKey(1);
    EXPECT_EQ(view.selected, 1);
    EXPECT_FALSE(view.marks.at(1).second) << "the selected key is pending";
    device_->RefreshKeyMarks();
    EXPECT_FALSE(view.marks.at(1).first) << "F1 differs from its default";
    EXPECT_TRUE(view.marks.at(1).second);
    EXPECT_TRUE(view.marks.at(0).first);
    device_->SetView(nullptr);
}

TEST_F(KeyboardKeys, AKeyWithoutAKeyboardKeyNameIsMarkedOnlyWhenItsAssignmentChanged) {
    // Key 17 is a media key: its own name is not its label, so the label alone would mark it
    // as changed in every fresh profile.
    constexpr int kMediaKey = 17;
    RecordingKeyView view;
    device_->SetView(&view);
    ASSERT_EQ(device_->ApplyProfile(), 1);
    std::vector<KeyEntry> keys = device_->KeyList();
    keys[kMediaKey].current = keys[kMediaKey].defaults;
    device_->SetKeyList(keys);
    device_->RefreshKeyLabels();
    EXPECT_TRUE(device_->KeyMarks(kMediaKey).changed);

    keys[kMediaKey].current = Assign(kMediaKey, 0x20, 0, 0x04);
    device_->SetKeyList(keys);
    device_->RefreshKeyLabels();
    EXPECT_FALSE(device_->KeyMarks(kMediaKey).changed);
    device_->SetView(nullptr);
}

TEST_F(KeyboardKeys, PruningPutsKeysOfRemovedMacrosBackToTheirDefaults) {
    WriteMacros(ProfileFolder(), 3);
    ASSERT_EQ(device_->ApplyProfile(), 1);
    std::vector<KeyEntry> keys = device_->KeyList();
    GiveMacro(&keys, 4, 2);
    GiveMacro(&keys, 5, 1);
    device_->SetKeyList(keys);
    WriteMacros(ProfileFolder(), 2);  // macro 2 was deleted
    device_->PruneMacroAssignments();
    EXPECT_EQ(device_->KeyList()[4].current, device_->KeyList()[4].defaults);
    EXPECT_EQ(device_->KeyList()[5].current.type, 0x70);

    CKeyboardProfiledata saved;
    saved.LoadProfile(CurrentKeyboardProfile());
    const std::vector<KeyEntry> stored = saved.ReadKeyList();
    ASSERT_GT(stored.size(), 5u);
    EXPECT_EQ(stored[4].current.Packed(), stored[4].defaults.Packed());
    EXPECT_EQ(stored[5].current.type, 0x70);
}

TEST_F(KeyboardKeys, SavingTheKeysKeepsWhatOtherEditorsSaved) {
    ASSERT_EQ(device_->ApplyProfile(), 1);
    // Another editor saves its section of the same file meanwhile.
    const std::filesystem::path path = CurrentKeyboardProfile();
    {
        CKeyboardProfiledata other;
        other.SetProfilePath(path);
        other.LoadProfile(path);
        other.WriteKeyboardSystem({{0x00030007u, 0, 0}});
        ASSERT_TRUE(other.Save());
    }
    std::vector<KeyEntry> keys = device_->KeyList();
    keys[1].current = Assign(1, 0x30, 0xE2, 0);
    device_->SetKeyList(keys);
    ASSERT_TRUE(device_->LastSaveSucceeded());

    CKeyboardProfiledata saved;
    saved.LoadProfile(path);
    EXPECT_EQ(saved.ReadKeyboardSystem().words[0], 0x00030007u);
    EXPECT_EQ(saved.ReadKeyList()[1].current.type, 0x30);
}

TEST_F(KeyboardKeys, TheSelectedKeyTakesTheEditorsEntry) {
    ASSERT_EQ(device_->ApplyProfile(), 1);
    KeyEntry entry = device_->KeyList()[6];
    entry.current = Assign(99, 0x30, 0xE9, 0);
    EXPECT_FALSE(device_->SetSelectedKeyEntry(entry)) << "no key selected";
    device_->SelectKey(6);
    ASSERT_TRUE(device_->SetSelectedKeyEntry(entry));
    EXPECT_EQ(device_->KeyList()[6].current.type, 0x30);
    EXPECT_EQ(device_->KeyList()[6].current.keyIndex, 6);
    CKeyboardProfiledata saved;
    saved.LoadProfile(CurrentKeyboardProfile());
    EXPECT_EQ(saved.ReadKeyList()[6].current.type, 0x30);
}

}  // namespace
}  // namespace rerov::test
