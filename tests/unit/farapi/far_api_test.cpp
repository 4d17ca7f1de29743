#include "farapi/far_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct SOffsetCase {
  const char* member;
  std::size_t actual;
  std::size_t packed32;
  std::size_t natural64;
};

void PrintTo(const SOffsetCase& offsetCase, std::ostream* out) { *out << offsetCase.member; }

class FarRecordOffsets : public testing::TestWithParam<SOffsetCase> {};

TEST_P(FarRecordOffsets, MatchReferenceLayout) {
  const SOffsetCase& offsetCase = GetParam();
  switch (kFarLayout) {
    case FarLayout::Packed32: EXPECT_EQ(offsetCase.actual, offsetCase.packed32); break;
    case FarLayout::Natural64: EXPECT_EQ(offsetCase.actual, offsetCase.natural64); break;
    case FarLayout::Unlisted: GTEST_SKIP() << "no reference layout for this target";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Members, FarRecordOffsets,
    testing::Values(
        SOffsetCase{"PluginStartupInfo.ModuleNumber", offsetof(PluginStartupInfo, ModuleNumber),
                    264, 264},
        SOffsetCase{"PluginStartupInfo.Menu", offsetof(PluginStartupInfo, Menu), 272, 280},
        SOffsetCase{"PluginStartupInfo.Control", offsetof(PluginStartupInfo, Control), 288, 312},
        SOffsetCase{"PluginStartupInfo.RestoreScreen", offsetof(PluginStartupInfo, RestoreScreen),
                    296, 328},
        SOffsetCase{"PluginStartupInfo.DefDlgProc", offsetof(PluginStartupInfo, DefDlgProc), 360,
                    456},
        SOffsetCase{"PluginInfo.PluginConfigStringsNumber",
                    offsetof(PluginInfo, PluginConfigStringsNumber), 32, 56},
        SOffsetCase{"OpenPluginInfo.StartSortOrder", offsetof(OpenPluginInfo, StartSortOrder), 56,
                    92},
        SOffsetCase{"OpenPluginInfo.ShortcutData", offsetof(OpenPluginInfo, ShortcutData), 64, 104},
        SOffsetCase{"PanelMode.StatusColumnTypes", offsetof(PanelMode, StatusColumnTypes), 28, 40},
        SOffsetCase{"KeyBarTitles.CtrlAltTitles", offsetof(KeyBarTitles, CtrlAltTitles), 288, 576},
        SOffsetCase{"InfoPanelLine.Separator", offsetof(InfoPanelLine, Separator), 160, 160},
        SOffsetCase{"PluginPanelItem.CustomColumnNumber",
                    offsetof(PluginPanelItem, CustomColumnNumber), 346, 360},
        SOffsetCase{"PluginPanelItem.CRC32", offsetof(PluginPanelItem, CRC32), 354, 368},
        SOffsetCase{"PanelInfo.SelectedItemsNumber", offsetof(PanelInfo, SelectedItemsNumber), 36,
                    48},
        SOffsetCase{"PanelInfo.SortMode", offsetof(PanelInfo, SortMode), 484, 496},
        SOffsetCase{"FarDialogItem.DefaultButton", offsetof(FarDialogItem, DefaultButton), 32, 36},
        SOffsetCase{"FarDialogItem.Ptr.PtrTail", offsetof(FarDialogItem, Ptr.PtrTail), 48, 56},
        SOffsetCase{"FarMenuItem.Separator", offsetof(FarMenuItem, Separator), 136, 136}));

// The host hands these records over zero-filled, so value-initialising one must write nothing
// but zeros; a default member initializer would not. Each record is built over two different
// fills because the compiler may leave padding as it was: only such untouched bytes may differ.
template <typename TRecord>
class FarRecordZeroInit : public testing::Test {};

using FarRecords =
    testing::Types<PluginStartupInfo, PluginInfo, OpenPluginInfo, PanelMode, KeyBarTitles,
                   InfoPanelLine, FAR_FIND_DATA, PluginPanelItem, PanelInfo, PanelRedrawInfo,
                   FarDialogItem, FarMenuItem, FarListItem, FarList>;
TYPED_TEST_SUITE(FarRecordZeroInit, FarRecords);

constexpr unsigned char kFillA = 0xA5;
constexpr unsigned char kFillB = 0x5A;

template <typename TRecord>
struct SDirtyStorage {
  explicit SDirtyStorage(unsigned char fill) {
    std::memset(bytes, fill, sizeof(bytes));
    std::construct_at(reinterpret_cast<TRecord*>(bytes));
  }
  alignas(TRecord) unsigned char bytes[sizeof(TRecord)];
};

TYPED_TEST(FarRecordZeroInit, ValueInitialisationWritesOnlyZeros) {
  const SDirtyStorage<TypeParam> overA(kFillA);
  const SDirtyStorage<TypeParam> overB(kFillB);
  for (std::size_t i = 0; i < sizeof(TypeParam); ++i) {
    const bool zero = overA.bytes[i] == 0 && overB.bytes[i] == 0;
    const bool untouched = overA.bytes[i] == kFillA && overB.bytes[i] == kFillB;
    EXPECT_TRUE(zero || untouched) << "byte " << i;
  }
}

const void* AddressOf(const auto& member) { return static_cast<const void*>(&member); }

TEST(FarDialogItemUnions, StateAndListMembersShareOneSlot) {
  FarDialogItem item{};
  const void* slot = AddressOf(item.Selected);
  EXPECT_EQ(AddressOf(item.History), slot);
  EXPECT_EQ(AddressOf(item.Mask), slot);
  EXPECT_EQ(AddressOf(item.ListItems), slot);
  EXPECT_EQ(AddressOf(item.ListPos), slot);
  EXPECT_EQ(AddressOf(item.VBuf), slot);
}

TEST(FarDialogItemUnions, VarEditFormOverlaysTheStartOfData) {
  FarDialogItem item{};
  EXPECT_EQ(AddressOf(item.Ptr.PtrFlags), AddressOf(item.Data));
  EXPECT_EQ(AddressOf(item.Ptr), AddressOf(item.Data));
  EXPECT_LE(sizeof(item.Ptr), sizeof(item.Data));
  EXPECT_EQ(sizeof(FarDialogItem), offsetof(FarDialogItem, Data) + sizeof(item.Data));
}

}  // namespace
