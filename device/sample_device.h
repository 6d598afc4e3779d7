// The sample device: a small, realistic file system that tests and scenarios
// start from. Written through the device's own file API into the running device.
#pragma once

namespace sim {

class Device;

// Fills the (empty) device with the sample folders and files. Throws
// std::runtime_error when the store refuses a step.
void WriteSampleDevice(Device& device);

}  // namespace sim
