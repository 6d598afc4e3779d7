#include "kernel/process.h"

#include <algorithm>
#include <stdexcept>

#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process_data.h"
#include "kernel/local_memory.h"
#include "text/utf.h"

namespace sim {

namespace {

// Runs one step of a process's end; a step interrupted by the device's shutdown
// must not keep the later steps (and the frees they do) from running.
template <class Step>
void endStep(Step&& step) {
  try {
    step();
  } catch (const ThreadUnwind&) {
  }
}

bool hasExtension(std::u16string_view path) {
  auto name = path.substr(path.find_last_of(u'\\') == std::u16string_view::npos ? 0 : path.find_last_of(u'\\') + 1);
  return name.find(u'.') != std::u16string_view::npos;
}

// The program `name` names: a device path as given, or a bare name in \Windows;
// ".exe" is added when the name has no extension.
std::shared_ptr<const ProgramImage> resolveProgram(const ImageRegistry& registry, std::u16string_view name) {
  std::vector<std::u16string> candidates{std::u16string(name)};
  if (name.find(u'\\') == std::u16string_view::npos) candidates.push_back(u"\\Windows\\" + std::u16string(name));
  if (!hasExtension(name)) {
    for (std::size_t i = 0, n = candidates.size(); i < n; ++i) candidates.push_back(candidates[i] + u".exe");
  }
  for (const auto& candidate : candidates)
    if (auto image = registry.find(candidate)) return image;
  return nullptr;
}

// The program is the first token (quoted, or up to the first blank); the command
// line is what follows the blanks after it.
std::pair<std::u16string, std::u16string> splitCommandLine(std::u16string_view line) {
  std::size_t pos = 0;
  while (pos < line.size() && line[pos] == u' ') ++pos;
  std::u16string program;
  if (pos < line.size() && line[pos] == u'"') {
    auto close = line.find(u'"', pos + 1);
    if (close == std::u16string_view::npos) close = line.size();
    program = line.substr(pos + 1, close - pos - 1);
    pos = std::min(line.size(), close + 1);
  } else {
    auto end = std::min(line.find(u' ', pos), line.size());
    program = line.substr(pos, end - pos);
    pos = end;
  }
  while (pos < line.size() && line[pos] == u' ') ++pos;
  return {program, std::u16string(line.substr(pos))};
}

}  // namespace

std::size_t Process::liveThreads() const {
  return static_cast<std::size_t>(std::count_if(threads.begin(), threads.end(), [](const auto& t) { return !t->ended; }));
}

std::string Process::programName() const { return Utf16ToUtf8Replacing(imagePath).text; }

Process* CurrentProcess() {
  auto* thread = Scheduler::current();
  return thread ? thread->process() : nullptr;
}

ProcessTable::~ProcessTable() = default;

ProcessTable::Started ProcessTable::start(const char16_t* application, const char16_t* commandLine) {
  std::u16string program;
  std::u16string arguments = commandLine ? commandLine : u"";
  if (application) {
    program = application;
  } else {
    std::tie(program, arguments) = splitCommandLine(arguments);
  }
  StartRecord record{program, arguments, 0, 0};
  auto fail = [&](DWORD error) {
    record.error = error;
    startLog_.push_back(record);
    return Started{nullptr, nullptr, error};
  };

  if (auto injected = device_.faults().take("CreateProcessW")) return fail(*injected);
  if (program.empty()) return fail(ERROR_FILE_NOT_FOUND);
  auto image = resolveProgram(device_.service<ImageRegistry>(), program);
  if (!image) return fail(ERROR_FILE_NOT_FOUND);
  if (image->kind != ProgramImage::Kind::Program || !image->main) return fail(ERROR_BAD_EXE_FORMAT);
  std::vector<ResolvedImport> imports;
  if (DWORD error = ResolveImports(*image, imports)) return fail(error);

  auto process = std::make_shared<Process>();
  process->id = nextProcessId_;
  nextProcessId_ += 4;
  process->imagePath = image->path;
  process->image = image;
  process->commandLine = arguments;
  processes_.push_back(process);
  record.processId = process->id;
  startLog_.push_back(record);
  AddProcessData(*process, *image);

  Process* raw = process.get();
  auto mainThread = startThread(*raw, [this, raw, imports = std::move(imports)] { return runMain(*raw, imports); });
  return Started{process, mainThread, 0};
}

DWORD ProcessTable::runMain(Process& process, const std::vector<ResolvedImport>& imports) {
  auto& registry = device_.service<ImageRegistry>();
  // A library whose attach entry refuses ends the process before its entry runs.
  if (DWORD error = StartProgramImage(process, imports)) terminate(process, error);
  const int code = process.image->main(registry.moduleHandle(*process.image), nullptr,
                                       process.commandLine.data(), SW_SHOW);
  // Returning from the entry ends the whole process with that code.
  terminate(process, static_cast<DWORD>(code));
  return static_cast<DWORD>(code);
}

std::shared_ptr<ThreadObject> ProcessTable::startThread(Process& process, std::function<DWORD()> body) {
  auto thread = std::make_shared<ThreadObject>(process);
  process.threads.push_back(thread);
  ThreadObject* raw = thread.get();
  raw->thread = &device_.scheduler().spawn(
      &process, [raw, body = std::move(body)] { raw->returned = body(); },
      [this, raw](SimThread& sim) { threadEnded(*raw, sim); });
  return thread;
}

void ProcessTable::terminate(Process& process, DWORD exitCode) {
  if (process.ended) return;
  if (!process.exiting) {
    process.exiting = true;
    process.exitCode = exitCode;
  }
  SimThread* self = Scheduler::current();
  bool callerIsOneOfThem = false;
  for (auto& thread : process.threads) {
    if (thread->ended || !thread->thread) continue;
    if (thread->thread == self)
      callerIsOneOfThem = true;
    else
      device_.scheduler().kill(*thread->thread, exitCode);
  }
  if (callerIsOneOfThem) throw ThreadUnwind{exitCode};
}

void ProcessTable::threadEnded(ThreadObject& thread, SimThread& sim) {
  for (auto& observer : threadExitObservers_) endStep([&] { observer(sim); });
  thread.exitCode = thread.returned.value_or(sim.exitCode());
  thread.ended = true;
  Process& process = thread.process();
  if (process.liveThreads() == 0) {
    if (!process.exiting) {
      process.exiting = true;
      process.exitCode = thread.exitCode;
    }
    endProcess(process);
  }
  thread.wakeWaiters();
}

void ProcessTable::endProcess(Process& process) {
  for (auto& observer : exitObservers_) endStep([&] { observer(process); });
  EndProcessImages(process);
  // Its heap goes last, after every detach and clean-up that may still free blocks;
  // what it placed on the clipboard is the system's by now.
  if (auto* heap = device_.findService<LocalMemory>()) process.remains.localBlocks = heap->releaseOwnedBy(&process);
  process.remains.handles = device_.service<HandleTable>().closeOwnedBy(&process);
  process.ended = true;
  process.wakeWaiters();
}

std::vector<Process*> ProcessTable::running(std::u16string_view imagePath) const {
  std::vector<Process*> result;
  const auto wanted = foldCase(imagePath);
  for (const auto& process : processes_)
    if (!process->ended && foldCase(process->imagePath) == wanted) result.push_back(process.get());
  return result;
}

void ProcessTable::addExitObserver(std::function<void(Process&)> observer) {
  exitObservers_.push_back(std::move(observer));
}

void ProcessTable::addThreadExitObserver(std::function<void(SimThread&)> observer) {
  threadExitObservers_.push_back(std::move(observer));
}

Process* StartProgram(Device& device, std::u16string path, std::u16string cmdLine) {
  return device.service<ProcessTable>().start(path.c_str(), cmdLine.c_str()).process.get();
}

Process& StartFunction(Device& device, std::u16string imagePath, std::function<int()> body) {
  ProgramImage image;
  image.path = imagePath;
  image.main = [body = std::move(body)](HINSTANCE, HINSTANCE, LPWSTR, int) { return body(); };
  device.service<ImageRegistry>().install(std::move(image));
  auto started = device.service<ProcessTable>().start(imagePath.c_str(), u"");
  if (!started.process) throw std::runtime_error("StartFunction: the program could not start");
  return *started.process;
}

}  // namespace sim
