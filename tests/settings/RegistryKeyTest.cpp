#include "settings/RegistryKey.h"
#include "tests/settings/MemoryRegistryStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Op = MemoryRegistryStore::Operation;
using Calls = std::vector<std::string>;

const char* const kProduct = "Software\\Zelbin";
const char* const kSub = "Software\\Zelbin\\Configuration";

TEST(RegistryKey, StartsClosedAndADestructionWithNothingOpenTouchesNothing) {
    MemoryRegistryStore store;
    {
        RegistryKey key(store);
        EXPECT_FALSE(key.IsKeyOpen());
        EXPECT_FALSE(key.IsSubKeyOpen());
    }
    EXPECT_TRUE(store.Calls().empty());
}

TEST(RegistryKey, OpenKeyCreatesTheProductKeyOnlyWhenItIsNotFound) {
    MemoryRegistryStore store;
    {
        RegistryKey key(store);
        EXPECT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
        EXPECT_TRUE(key.IsKeyOpen());
    }
    EXPECT_TRUE(store.HasKey(kProduct));
    EXPECT_EQ(store.Calls(),
              (Calls{"OpenKey Software\\Zelbin", "CreateKey Software\\Zelbin", "CloseKey Software\\Zelbin"}));

    store.ClearLog();
    {
        RegistryKey key(store);
        EXPECT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
    }
    EXPECT_EQ(store.Calls(), (Calls{"OpenKey Software\\Zelbin", "CloseKey Software\\Zelbin"}));
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(RegistryKey, OpenKeyReturnsOtherStatusesUnchangedWithoutCreating) {
    MemoryRegistryStore store;
    store.FailCall(Op::OpenKey, 1, kRegistryAccessDenied);
    RegistryKey key(store);
    EXPECT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), kRegistryAccessDenied);
    EXPECT_FALSE(key.IsKeyOpen());
    EXPECT_EQ(store.Calls(), (Calls{"OpenKey Software\\Zelbin"}));
    EXPECT_FALSE(store.HasKey(kProduct));
}

TEST(RegistryKey, OpenKeyReturnsTheStatusOfAFailedCreation) {
    MemoryRegistryStore store;
    store.FailCall(Op::CreateKey, 1, kRegistryCannotWrite);
    RegistryKey key(store);
    EXPECT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), kRegistryCannotWrite);
    EXPECT_FALSE(key.IsKeyOpen());
}

TEST(RegistryKey, OpenSubKeyFailsWithNotFoundAndCreatesNothing) {
    MemoryRegistryStore store;
    store.AddKey(kProduct);
    RegistryKey key(store);
    ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
    EXPECT_EQ(key.OpenSubKey("Configuration"), kRegistryNotFound);
    EXPECT_FALSE(key.IsSubKeyOpen());
    EXPECT_FALSE(store.HasKey(kSub));

    EXPECT_EQ(key.CreateSubKey("Configuration"), 0);
    EXPECT_TRUE(key.IsSubKeyOpen());
    EXPECT_TRUE(store.HasKey(kSub));
}

TEST(RegistryKey, SubKeyOperationsNeedTheirHandle) {
    MemoryRegistryStore store;
    RegistryKey key(store);
    uint8_t data[4] = {};
    uint32_t size = 4;
    uint32_t type = 0;
    EXPECT_NE(key.OpenSubKey("Configuration"), 0);
    EXPECT_NE(key.CreateSubKey("Configuration"), 0);
    EXPECT_NE(key.QueryValue("Volume", &type, data, &size), 0);
    EXPECT_NE(key.SetValue("Volume", kRegistryDword, data, 4), 0);
    EXPECT_NE(key.CloseSubKey(), 0);
    EXPECT_NE(key.CloseKey(), 0);
    EXPECT_TRUE(store.Calls().empty()) << "nothing reaches the store without an open handle";
}

TEST(RegistryKey, ValueOperationsPassTheStoreStatusThrough) {
    MemoryRegistryStore store;
    store.PutDword(kSub, "Volume", 450);
    store.FailCall(Op::SetValue, 1, kRegistryDiskFull);
    RegistryKey key(store);
    ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
    ASSERT_EQ(key.OpenSubKey("Configuration"), 0);

    uint8_t data[4] = {};
    uint32_t size = sizeof data;
    uint32_t type = 0;
    EXPECT_EQ(key.QueryValue("Volume", &type, data, &size), 0);
    EXPECT_EQ(type, kRegistryDword);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0] | data[1] << 8, 450);
    EXPECT_EQ(key.QueryValue("Missing", &type, data, &size), kRegistryNotFound);
    EXPECT_EQ(key.SetValue("Volume", kRegistryDword, data, 4), kRegistryDiskFull);
    EXPECT_EQ(key.SetValue("Volume", kRegistryDword, data, 4), 0);
}

TEST(RegistryKey, CloseNullsAHandleOnlyOnSuccess) {
    MemoryRegistryStore store;
    store.PutDword(kSub, "Volume", 1);
    store.FailCall(Op::CloseKey, 1, kRegistryInvalidHandle);
    store.FailCall(Op::CloseKey, 2, kRegistryInvalidHandle);
    {
        RegistryKey key(store);
        ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
        ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
        EXPECT_EQ(key.CloseSubKey(), kRegistryInvalidHandle);
        EXPECT_TRUE(key.IsSubKeyOpen());
        EXPECT_EQ(key.CloseKey(), kRegistryInvalidHandle);
        EXPECT_TRUE(key.IsKeyOpen());
        EXPECT_EQ(store.OpenHandleCount(), 2u);
    }
    // The destructor retried both, the subkey first.
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    const Calls& calls = store.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "CloseKey Software\\Zelbin\\Configuration");
    EXPECT_EQ(calls[calls.size() - 1], "CloseKey Software\\Zelbin");
}

TEST(RegistryKey, DestructorClosesTheSubKeyFirst) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    {
        RegistryKey key(store);
        ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
        ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
    }
    EXPECT_EQ(store.Calls(), (Calls{"OpenKey Software\\Zelbin", "OpenKey Software\\Zelbin\\Configuration",
                                    "CloseKey Software\\Zelbin\\Configuration", "CloseKey Software\\Zelbin"}));
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(RegistryKey, ExplicitClosesLeaveNothingForTheDestructor) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    {
        RegistryKey key(store);
        ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
        ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
        EXPECT_EQ(key.CloseSubKey(), 0);
        EXPECT_EQ(key.CloseKey(), 0);
        EXPECT_FALSE(key.IsKeyOpen());
        EXPECT_FALSE(key.IsSubKeyOpen());
    }
    EXPECT_EQ(store.Calls().size(), 4u) << "no second close of a closed handle";
}

TEST(RegistryKey, ReopeningDoesNotLeakTheEarlierHandles) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    {
        RegistryKey key(store);
        ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, kProduct), 0);
        ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
        ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
        ASSERT_EQ(key.CreateSubKey("Configuration"), 0);
        EXPECT_EQ(store.OpenHandleCount(), 2u);
    }
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

} // namespace
