#include "device_checks.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "comctl/imagelist.h"
#include "gdi/gdi_objects.h"
#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/process.h"
#include "text/utf.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace sim {

namespace {

std::string WindowName(const Window& window) {
  std::string cls = window.windowClass ? Utf16ToUtf8Replacing(window.windowClass->name).text : "?";
  return "window " + HandleText(window.handle) + " (" + cls + ")";
}

// True when the thread is one of its process's threads that has ended. The thread
// record is looked up through the process rather than read, as a thread that ended
// may be gone.
bool ThreadEnded(const Window& window) {
  if (!window.process) return false;
  for (const auto& thread : window.process->threads)
    if (thread->thread == window.thread) return thread->ended;
  return false;
}

void CheckProcedure(const Window& window, const void* procedure, const char* what, std::vector<std::string>& out) {
  const Process* owner = procedure ? ProcedureOwner(window, procedure) : nullptr;
  if (owner && owner->ended)
    out.push_back(WindowName(window) + " runs a " + what + " of the ended " + owner->programName());
}

void CheckWindow(const Window& window, std::vector<std::string>& out) {
  if (window.process && window.process->ended)
    out.push_back(WindowName(window) + " belongs to the ended " + window.process->programName());
  else if (ThreadEnded(window))
    out.push_back(WindowName(window) + " belongs to an ended thread of " + window.process->programName());
  CheckProcedure(window, reinterpret_cast<const void*>(window.proc), "window procedure", out);
  auto dialog = window.extra.find(DWL_DLGPROC);
  if (dialog != window.extra.end())
    CheckProcedure(window, reinterpret_cast<const void*>(dialog->second), "dialog procedure", out);
  for (const Window* child : window.children)
    if (child->alive()) CheckWindow(*child, out);
}

void CheckTimers(const MessageQueue& queue, std::vector<std::string>& out) {
  if (queue.released()) {
    if (!queue.timers().empty()) out.push_back("an ended thread still has " + std::to_string(queue.timers().size()) + " timers");
    return;
  }
  for (const Timer& timer : queue.timers()) {
    if (!timer.hwnd) continue;
    Window* window = WindowSystem::get().find(timer.hwnd);
    if (!window)
      out.push_back("timer " + std::to_string(timer.id) + " of the destroyed window " + HandleText(timer.hwnd));
    else if (window->thread != &queue.thread())
      out.push_back("timer " + std::to_string(timer.id) + " of " + WindowName(*window) + " is kept by another thread");
  }
}

void CheckTimers(std::vector<std::string>& out) {
  auto queues = MessageQueues::get().all();
  // Live queues in the order of their threads, so the first problem is always the same.
  std::vector<std::pair<std::uint32_t, const MessageQueue*>> ordered;
  for (const MessageQueue* queue : queues) ordered.emplace_back(queue->thread().id(), queue);
  std::sort(ordered.begin(), ordered.end());
  for (const auto& [id, queue] : ordered) CheckTimers(*queue, out);
}

void CheckMenusAndMessageBoxes(std::vector<std::string>& out) {
  if (auto menu = MenuTracker::get().openMenu(); menu && !WindowSystem::get().find(menu->owner))
    out.push_back("a menu is open for the destroyed window " + HandleText(menu->owner));
  for (const OpenMessageBox& box : MessageBoxes::get().open())
    if (!WindowSystem::get().find(box.dialog))
      out.push_back("the message box '" + Utf16ToUtf8Replacing(box.caption).text + "' is listed but its window is gone");
}

std::string Plural(std::size_t count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

void CheckRemains(const Process& process, std::vector<std::string>& out) {
  const ProcessRemains& remains = process.remains;
  std::vector<std::string> parts;
  if (remains.localBlocks) parts.push_back(Plural(remains.localBlocks, "local memory block"));
  if (remains.handles) parts.push_back(Plural(remains.handles, "open handle"));
  if (remains.windows) parts.push_back(Plural(remains.windows, "window"));
  if (parts.empty()) return;
  std::string text = process.programName() + " ended holding ";
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
  out.push_back(text);
}

// Owned drawing objects and image lists still there after their program ended,
// counted per program and kind.
void CheckObjects(Device& device, std::vector<std::string>& out) {
  std::map<std::pair<std::string, std::string>, std::size_t> counts;
  if (auto* objects = device.findService<GdiObjects>())
    for (const auto& [handle, object] : objects->liveOwned())
      if (object->owner && object->owner->ended)
        ++counts[{object->owner->programName(), GdiKindName(object->description.kind)}];
  if (auto* lists = device.findService<ImageLists>())
    for (const auto& [handle, list] : lists->liveLists())
      if (list->owner && list->owner->ended) ++counts[{list->owner->programName(), "image list"}];
  for (const auto& [key, count] : counts)
    out.push_back(key.first + " ended without destroying " + Plural(count, key.second));
}

}  // namespace

std::vector<std::string> FindOrphans(Device& device) {
  std::vector<std::string> out;
  if (!device.findService<WindowSystem>()) return out;
  for (const Window* window : WindowSystem::get().topLevel())
    if (window->alive()) CheckWindow(*window, out);
  if (device.findService<MessageQueues>()) CheckTimers(out);
  if (device.findService<MenuTracker>() && device.findService<MessageBoxes>()) CheckMenusAndMessageBoxes(out);
  return out;
}

std::vector<std::string> FindLeaks(Device& device) {
  std::vector<std::string> out;
  for (const auto& process : device.service<ProcessTable>().processes())
    if (process->ended) CheckRemains(*process, out);
  CheckObjects(device, out);
  return out;
}

}  // namespace sim
