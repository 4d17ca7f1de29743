#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "phone_book_fixture.h"
#include "phonebook/device_cache.h"
#include "platform/posix/registry_store.h"
#include "posix/other_connection.h"

// A save the store cannot take once an operation has begun to write to the phone: the store
// keeps nothing of it, and the storage's earlier save no longer vouches for it either, so the
// next opening reads the phone rather than an old list.
namespace {

class DeviceCacheStore : public CPhoneBookTest {};

TEST_F(DeviceCacheStore, FailedSaveAfterTheFirstWriteLeavesTheStorageToBeReadAgain) {
  CDeviceCache cache;
  ASSERT_TRUE(cache.Open("350123451234560"));
  PhoneBookStorage storage("SM");
  storage.Loaded = true;
  storage.Entries.push_back(
      std::make_unique<PhoneBookEntry>(PhoneBookEntry{1, "+4470001", 145, "Ann", u"Ann", 0}));
  ASSERT_TRUE(cache.Save(storage, false));

  ASSERT_TRUE(cache.Distrust(storage));
  storage.Entries.push_back(
      std::make_unique<PhoneBookEntry>(PhoneBookEntry{2, "+4470002", 145, "Bob", u"Bob", 0}));
  Platform::Posix::CRegistryStore::Current()->SetBusyTimeout(50);
  {
    // Every value is written, then the commit waits in vain for another program's reader.
    const COtherConnection reader(m_registry.File(), "BEGIN; SELECT count(*) FROM keys");
    ASSERT_TRUE(reader.Held());
    EXPECT_FALSE(cache.Save(storage, false));
  }

  std::vector<std::unique_ptr<PhoneBookStorage>> reopened;
  reopened.push_back(std::make_unique<PhoneBookStorage>("SM"));
  cache.Load(reopened);
  EXPECT_FALSE(reopened[0]->Loaded);
  ASSERT_EQ(reopened[0]->Entries.size(), 1u) << "the failed save kept a part of itself";
  EXPECT_EQ(reopened[0]->Entries[0]->Name, "Ann");
}

}  // namespace
