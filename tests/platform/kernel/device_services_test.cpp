#include <gtest/gtest.h>

#include "kernel/device.h"
#include "tests/support/test_device.h"

namespace {

// Two parts of the platform that note which device made them.
struct FirstPart {
  explicit FirstPart(sim::Device& device) : device(&device) {}
  sim::Device* device;
};
struct SecondPart {
  explicit SecondPart(sim::Device& device) : device(&device) {}
  sim::Device* device;
};

// The place a part was found at is remembered across devices, so a device that
// made its parts in another order must still give its own.
TEST(DeviceServices, EachDeviceGivesItsOwnPartsWhateverOrderTheyWereMadeIn) {
  {
    test_support::TestDevice booted;
    sim::Device& device = *booted;
    EXPECT_EQ(device.service<FirstPart>().device, &device);
    EXPECT_EQ(device.service<SecondPart>().device, &device);
    EXPECT_EQ(device.findService<FirstPart>(), &device.service<FirstPart>());
  }
  test_support::TestDevice booted;
  sim::Device& device = *booted;
  EXPECT_EQ(device.findService<FirstPart>(), nullptr) << "a new device has none of the old one's parts";
  EXPECT_EQ(device.service<SecondPart>().device, &device);
  EXPECT_EQ(device.service<FirstPart>().device, &device);
  EXPECT_NE(static_cast<void*>(device.findService<FirstPart>()), static_cast<void*>(device.findService<SecondPart>()));
}

}  // namespace
