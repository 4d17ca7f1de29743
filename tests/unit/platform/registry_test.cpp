#include "platform/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "temp_registry.h"

namespace Platform {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST(Registry, CreatedKeyOpensWithAnyLetterCase) {
  CTempRegistry registry;
  ASSERT_TRUE(CRegKey::Create(registry.Root() + "\\Zantel\\FirstCOM").IsOpen());
  EXPECT_TRUE(CRegKey::Open(registry.Root() + "\\ZANTEL\\firstcom").IsOpen());
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Zantel\\SecondCOM").IsOpen());
}

TEST(Registry, OpenDoesNotCreate) {
  CTempRegistry registry;
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Models\\0000").IsOpen());
  EXPECT_FALSE(CRegKey::Open(registry.Root()).IsOpen());
}

TEST(Registry, KeyNameLongerThan255IsRefused) {
  CTempRegistry registry;
  EXPECT_FALSE(CRegKey::Create(registry.Root() + "\\" + std::string(256, 'k')).IsOpen());
}

struct StoredValue {
  const char* label;
  uint32_t type;
  std::vector<uint8_t> data;
};

class ValueTypeTest : public testing::TestWithParam<StoredValue> {};

TEST_P(ValueTypeTest, ReadsBackWithItsTypeAndBytes) {
  CTempRegistry registry;
  CRegKey key = CRegKey::Create(registry.Root());
  ASSERT_EQ(key.SetValue("Value", GetParam().type, GetParam().data), kErrorSuccess);
  RegValue value;
  ASSERT_EQ(key.QueryValue("Value", value), kErrorSuccess);
  EXPECT_EQ(value.Type, GetParam().type);
  EXPECT_EQ(value.Data, GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ValueTypeTest,
    testing::Values(StoredValue{"Text", kRegSz, Bytes({'C', ':', '\\', 0})},
                    StoredValue{"ExpandText", kRegExpandSz, Bytes({'%', 'X', '%', 0})},
                    StoredValue{"Dword", kRegDword, Bytes({0x78, 0x56, 0x34, 0x12})},
                    StoredValue{"Binary", kRegBinary, Bytes({0, 0xFF, 0, 0x80})},
                    StoredValue{"EmptyBinary", kRegBinary, Bytes({})}),
    [](const testing::TestParamInfo<StoredValue>& info) { return info.param.label; });

TEST(Registry, ValueNamesIgnoreLetterCaseAndARewriteReplacesTheType) {
  CTempRegistry registry;
  CRegKey key = CRegKey::Create(registry.Root());
  key.SetValue("Timeout", kRegSz, Bytes({'1', 0}));
  key.SetValue("TIMEOUT", kRegDword, Bytes({10, 0, 0, 0}));
  RegValue value;
  ASSERT_EQ(key.QueryValue("timeout", value), kErrorSuccess);
  EXPECT_EQ(value.Type, kRegDword);
  EXPECT_EQ(value.Data, Bytes({10, 0, 0, 0}));
}

TEST(Registry, MissingValueIsFileNotFound) {
  CTempRegistry registry;
  const CRegKey key = CRegKey::Create(registry.Root());
  RegValue value;
  EXPECT_EQ(key.QueryValue("Absent", value), kErrorFileNotFound);
}

TEST(Registry, ClosedKeyRefusesEveryCall) {
  CRegKey key;
  RegValue value;
  EXPECT_EQ(key.QueryValue("Port", value), kErrorInvalidHandle);
  EXPECT_EQ(key.SetValue("Port", kRegDword, Bytes({1, 0, 0, 0})), kErrorInvalidHandle);
  EXPECT_EQ(key.DeleteSubtree("Models"), kErrorInvalidHandle);
  EXPECT_TRUE(key.SubKeyNames().empty());
}

TEST(Registry, SubKeysAreListedInLetterCaseBlindOrder) {
  CTempRegistry registry;
  for (const char* name : {"beta", "0003", "ALPHA2", "alpha", "Devices", "0001"}) {
    CRegKey::Create(registry.Root() + "\\" + name);
  }
  const CRegKey root = CRegKey::Open(registry.Root());
  EXPECT_EQ(root.SubKeyNames(),
            (std::vector<std::string>{"0001", "0003", "alpha", "ALPHA2", "beta", "Devices"}));
}

TEST(Registry, DeleteSubtreeRemovesEverythingBelowAndKeepsSiblings) {
  CTempRegistry registry;
  CRegKey::Create(registry.Root() + "\\Models\\0000\\Deep")
      .SetValue("X", kRegDword, Bytes({1, 0, 0, 0}));
  CRegKey::Create(registry.Root() + "\\FirstCOM");
  CRegKey root = CRegKey::Open(registry.Root());
  ASSERT_EQ(root.DeleteSubtree("MODELS"), kErrorSuccess);
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Models").IsOpen());
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Models\\0000\\Deep").IsOpen());
  EXPECT_TRUE(CRegKey::Open(registry.Root() + "\\FirstCOM").IsOpen());
  EXPECT_NE(root.DeleteSubtree("Models"), kErrorSuccess);
}

TEST(Registry, DeletedKeyTakesNoMoreValues) {
  CTempRegistry registry;
  CRegKey models = CRegKey::Create(registry.Root() + "\\Models");
  CRegKey::Open(registry.Root()).DeleteSubtree("Models");
  EXPECT_NE(models.SetValue("Flags", kRegDword, Bytes({7, 0, 0, 0})), kErrorSuccess);
  EXPECT_FALSE(CRegKey::Open(registry.Root() + "\\Models").IsOpen());
}

TEST(Registry, WideTextReadsBackThroughTheWidePath) {
  CTempRegistry registry;
  CRegKey key = CRegKey::Create(registry.Root());
  const std::vector<uint8_t> anna = {'A', 0, 0x3D, 0x04, 0, 0};  // "Aн" and the zero unit
  ASSERT_EQ(key.SetWideValue("Name", anna), kErrorSuccess);
  RegValue value;
  ASSERT_EQ(key.QueryWideValue("Name", value), kErrorSuccess);
  EXPECT_EQ(value.Type, CRegKey::WideTextType());
  EXPECT_EQ(value.Data, anna);
}

TEST(Registry, ChangesInsideNestedTransactionScopesRemain) {
  CTempRegistry registry;
  {
    CRegTransaction outer;
    CRegKey::Create(registry.Root() + "\\A").SetValue("V", kRegDword, Bytes({1, 0, 0, 0}));
    {
      CRegTransaction inner;
      CRegKey::Create(registry.Root() + "\\B");
    }
    CRegKey::Create(registry.Root() + "\\C");
  }
  RegValue value;
  EXPECT_EQ(CRegKey::Open(registry.Root() + "\\A").QueryValue("V", value), kErrorSuccess);
  EXPECT_TRUE(CRegKey::Open(registry.Root() + "\\B").IsOpen());
  EXPECT_TRUE(CRegKey::Open(registry.Root() + "\\C").IsOpen());
}

}  // namespace
}  // namespace Platform
