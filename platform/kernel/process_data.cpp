#include "kernel/process_data.h"

#include <algorithm>

#include "kernel/device.h"
#include "kernel/image.h"
#include "kernel/image_bytes.h"
#include "kernel/process.h"

namespace sim {

ProcessData::ProcessData(Device& device) : device_(device) {
  device_.scheduler().setHandOverHook([this](Process* owner) { makeResident(owner); });
}

ProcessData::~ProcessData() {
  device_.scheduler().setHandOverHook({});
  // Every process has ended by now; a section still holding a process's bytes
  // (one whose end was cut short) is put back for the next device.
  for (auto& [start, section] : sections_)
    if (section->resident) restoreSnapshot(*section);
}

ProcessData::Section& ProcessData::sectionOf(std::span<std::byte> bytes) {
  auto& slot = sections_[bytes.data()];
  if (!slot) {
    slot = std::make_unique<Section>();
    slot->bytes = bytes;
    slot->snapshot.resize(bytes.size());
    CopyImageBytes(slot->snapshot.data(), bytes.data(), bytes.size());
  }
  return *slot;
}

void ProcessData::install(const ProgramImage& image) {
  for (auto bytes : image.data)
    if (!bytes.empty()) sectionOf(bytes);
}

void ProcessData::add(const Process& process, const ProgramImage& image) {
  if (image.data.empty()) return;
  auto& copies = copies_[&process];
  const bool current = CurrentDataOwner() == &process;
  for (auto bytes : image.data) {
    if (bytes.empty()) continue;
    Section& section = sectionOf(bytes);
    auto held = std::find_if(copies.begin(), copies.end(), [&](const Copy& c) { return c.section == &section; });
    if (held != copies.end()) {
      ++held->users;
      continue;
    }
    Copy& copy = copies.emplace_back(Copy{&section, 1, section.snapshot});
    if (current) putInPlace(process, copy);
  }
  if (copies.empty()) copies_.erase(&process);
}

void ProcessData::remove(const Process& process, const ProgramImage& image) {
  auto found = copies_.find(&process);
  if (found == copies_.end()) return;
  auto& copies = found->second;
  for (auto bytes : image.data) {
    auto held = std::find_if(copies.begin(), copies.end(), [&](const Copy& c) { return c.section->bytes.data() == bytes.data(); });
    if (bytes.empty() || held == copies.end() || --held->users > 0) continue;
    if (held->section->resident == &process) restoreSnapshot(*held->section);
    copies.erase(held);
  }
  if (copies.empty()) copies_.erase(found);
}

void ProcessData::makeResident(const Process* process) {
  if (!process) return;
  auto found = copies_.find(process);
  if (found == copies_.end()) return;
  for (Copy& copy : found->second)
    if (copy.section->resident != process) putInPlace(*process, copy);
}

void ProcessData::putInPlace(const Process& process, Copy& copy) {
  Section& section = *copy.section;
  if (section.residentCopy)
    CopyImageBytes(section.residentCopy->data(), section.bytes.data(), section.bytes.size());
  CopyImageBytes(section.bytes.data(), copy.saved.data(), section.bytes.size());
  section.resident = &process;
  section.residentCopy = &copy.saved;
}

void ProcessData::restoreSnapshot(Section& section) {
  CopyImageBytes(section.bytes.data(), section.snapshot.data(), section.bytes.size());
  section.resident = nullptr;
  section.residentCopy = nullptr;
}

void AddProcessData(const Process& process, const ProgramImage& image) {
  if (!image.data.empty()) Device::current().service<ProcessData>().add(process, image);
}

void RemoveProcessData(const Process& process, const ProgramImage& image) {
  if (auto* data = Device::current().findService<ProcessData>()) data->remove(process, image);
}

Process* CurrentDataOwner() {
  Device* device = Device::active();
  return device ? device->scheduler().dataOwner() : nullptr;
}

DataContext::DataContext(Process* owner) {
  Device* device = Device::active();
  if (!owner || owner->ended || !device) return;
  Scheduler& scheduler = device->scheduler();
  previous_ = scheduler.dataOwner();
  if (owner == previous_) return;
  switched_ = true;
  scheduler.setDataOwner(owner);
  if (auto* data = device->findService<ProcessData>()) data->makeResident(owner);
}

DataContext::~DataContext() {
  if (!switched_) return;
  Device& device = Device::current();
  device.scheduler().setDataOwner(previous_);
  if (auto* data = device.findService<ProcessData>()) data->makeResident(previous_);
}

}  // namespace sim
