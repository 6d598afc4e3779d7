// One handheld driven step by step through the scenario runner, with the device
// checked after every step (see monkey.h). The monkey's own run and every replay
// while shrinking go through this same class, so they find the same failures.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "handheld.h"
#include "monkey/file_model.h"
#include "monkey/intents.h"
#include "monkey/monkey.h"
#include "monkey/screen.h"
#include "scenario/runner.h"

namespace sim::monkey {

// A fresh handheld for one run: over a copy of the given folder (removed
// afterwards), or over a fresh sample device.
class Bench {
 public:
  explicit Bench(const MonkeyOptions& options);
  ~Bench();
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  Handheld& handheld() { return *handheld_; }

 private:
  std::optional<std::filesystem::path> copy_;
  std::unique_ptr<Handheld> handheld_;
};

class CheckedRun {
 public:
  explicit CheckedRun(Handheld& handheld);

  std::optional<Violation> begin();
  // Runs step number `index` and checks the device afterwards.
  std::optional<Violation> step(const scenario::Step& step, std::size_t index);
  // After the last step: every program has ended; then the device shuts down.
  std::optional<Violation> end(std::size_t index);

  const ScreenView& view() const { return view_; }
  const FileSnapshot& files() const { return files_; }
  bool failureArmed() const { return !armed().empty(); }
  // The operations whose injected failure still waits for its call.
  std::set<std::string> armed() const;

 private:
  std::optional<Violation> runStep(const scenario::Step& step, std::size_t index);
  std::optional<Violation> checkFiles(const Allowance& allowance, std::size_t index);
  std::optional<Violation> checkDevice(std::size_t index);

  Handheld& handheld_;
  std::ostream silent_{nullptr};
  scenario::StepRunner runner_;
  Intents intents_;
  DigestCache digests_;
  FileSnapshot files_;
  ScreenView view_;
};

}  // namespace sim::monkey
