#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "drivers32_values.h"
#include "maint/tool_parameters.h"
#include "mng/slot_driver_registration.h"
#include "settings_files.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

// A copy of the tool alone in a folder, the driver's place beside it (the
// tool only names the file); the prefix's slot drivers put back afterwards.
class ManagerProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Add("TandrelMng.exe"));
        ASSERT_TRUE(SetSlotDriverValue(1, "old.dll"));
        SetSlotDriverValue(2, kMissingValue);
    }

    int Run(const std::string& arguments) { return RunToExit(folder.PathOf("TandrelMng.exe"), arguments); }

    SlotDriversSnapshot snapshot;
    ToolFolder folder {"mng"};
    const std::string driver = folder.PathOf("TandrelDrv64.dll"); // with a blank
};

}

TEST_F(ManagerProcessTest, AppliesTheConfigurationToolsItemsThenUnregistersAll)
{
    ASSERT_TRUE(WriteWholeFile(driver, ""));
    SlotSettings slots[kSlotCount] = {};
    slots[0].iEnable = slots[7].iEnable = 1;
    char parameters[kManagerParametersCapacity];
    FormatApplySlotsParameters(slots, parameters);
    EXPECT_EQ(kManagerDone, Run(parameters));
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(slots[slot].iEnable ? ShortPath(driver) : kMissingValue, SlotDriverValue(slot)) << slot;

    // Removing what is not registered is no failure.
    FormatUnregisterAllSlotsParameters(parameters);
    EXPECT_EQ(kManagerDone, Run(parameters));
    EXPECT_EQ(kManagerDone, Run(parameters));
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(kMissingValue, SlotDriverValue(slot)) << slot;
}

TEST_F(ManagerProcessTest, MalformedInputChangesNothing)
{
    ASSERT_TRUE(WriteWholeFile(driver, ""));
    EXPECT_EQ(kManagerBadArguments, Run(""));
    // Each run would change slots 1 and 2 but for its last item: unknown, out
    // of range, in other letter case, or naming a slot again.
    for (const char* item :
         {"\"\"", "\"/reg:tdl3 \"", "/reg:tdl", "/reg:tdl10", "/reg:tdla", "/reg:tdl-1", "/REG:tdl3",
          "/reg:TDL3", "/Unreg:tdl3", "/register:tdl3", "/unreg:tdl1", "/reg:tdl2"}) {
        EXPECT_EQ(kManagerBadArguments, Run(std::string("/unreg:tdl1 /reg:tdl2 ") + item)) << item;
        EXPECT_EQ("old.dll", SlotDriverValue(1)) << item;
        EXPECT_EQ(kMissingValue, SlotDriverValue(2)) << item;
    }
}

TEST_F(ManagerProcessTest, WithoutTheDriverBesideItOnlyUnregisters)
{
    EXPECT_EQ(kManagerNoDriver, Run("/reg:tdl2 /unreg:tdl1"));
    EXPECT_EQ(kMissingValue, SlotDriverValue(1));
    EXPECT_EQ(kMissingValue, SlotDriverValue(2));
}
