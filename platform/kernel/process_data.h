// Each process's own copy of the writable data of the images it runs or loads.
//
// The host holds one copy of an image's code and one of its data sections (the
// build gathers each image's writable data into sections of its own: see
// cmake/ImageData.cmake). The device gives each process its own globals: every
// process that runs or loads an image has its own copy of the image's data,
// starting from a snapshot of the bytes taken when the device installed the image,
// before any process ran.
//
// A section's bytes belong to one process at a time, the resident one; the others
// keep theirs in a saved copy. Before a thread gets the CPU, the scheduler's
// hand-over puts in place the copies of the process whose data that thread works
// with, saving what was resident. Only the sections that process holds are touched,
// so processes of different programs that take turns copy nothing, and the bytes
// are copied only when the CPU passes to a thread of a different process than the
// resident one. When a process frees an image or ends, its copy goes and the
// section gets the snapshot back, so a later process, or the next device of the
// host process, starts fresh.
//
// A thread works with its own process's data, except while it runs a procedure
// another process installed (a replacement window procedure on another program's
// window, the dialog procedure of a library that another process called): then it
// works with the data of the process that installed it (DataContext).
#pragma once

#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace sim {

class Device;
struct Process;
struct ProgramImage;

class ProcessData {
 public:
  explicit ProcessData(Device& device);
  ~ProcessData();
  ProcessData(const ProcessData&) = delete;
  ProcessData& operator=(const ProcessData&) = delete;

  // Takes the snapshot of the image's sections that this device has not seen yet.
  void install(const ProgramImage& image);
  // `process` starts using `image` (runs it or loads it): it gets a fresh copy of
  // the image's data, put in place at once when the caller works with its data.
  void add(const Process& process, const ProgramImage& image);
  // `process` frees `image` or ends: its copy goes, and a section that held its
  // bytes gets the snapshot back.
  void remove(const Process& process, const ProgramImage& image);
  // Puts the copies of `process` in place (nothing for null).
  void makeResident(const Process* process);

 private:
  struct Section {
    std::span<std::byte> bytes;
    std::vector<std::byte> snapshot;
    const Process* resident = nullptr;  // null: the snapshot is in place
    std::vector<std::byte>* residentCopy = nullptr;
  };
  struct Copy {
    Section* section;
    int users;  // one section may come with two images (one library at two paths)
    std::vector<std::byte> saved;
  };

  Section& sectionOf(std::span<std::byte> bytes);
  void putInPlace(const Process& process, Copy& copy);
  void restoreSnapshot(Section& section);

  Device& device_;
  std::map<std::byte*, std::unique_ptr<Section>> sections_;
  // Looked up at every hand-over: a few processes, compared without hashing.
  std::map<const Process*, std::list<Copy>> copies_;
};

// Runs the enclosed code with `owner`'s data. Nothing changes when the owner is
// null, has ended, or is the one whose data the caller already works with; the
// previous owner's data is back in place when the context ends.
class DataContext {
 public:
  explicit DataContext(Process* owner);
  ~DataContext();
  DataContext(const DataContext&) = delete;
  DataContext& operator=(const DataContext&) = delete;

 private:
  bool switched_ = false;
  Process* previous_ = nullptr;
};

// ProcessData::add and remove of the current device; nothing is made for an image
// without data.
void AddProcessData(const Process& process, const ProgramImage& image);
void RemoveProcessData(const Process& process, const ProgramImage& image);

// The process whose data the calling code works with; null on the driver and on
// bare scheduler threads.
Process* CurrentDataOwner();

}  // namespace sim
