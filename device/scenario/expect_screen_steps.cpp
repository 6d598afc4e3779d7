// Expectations of what is on the screen: the window in front, its controls and
// texts, message boxes, menus, list and tree items.
#include <windows.h>

#include "scenario/session.h"
#include "scenario/steps.h"
#include "user/menu_tracker.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace sim::scenario {

namespace {

std::string Place(const RECT& rect) {
  return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") " +
         std::to_string(rect.right - rect.left) + " x " + std::to_string(rect.bottom - rect.top);
}

std::string Described(HWND window) {
  return window ? Quote(User::TextOf(window)) + " [" + Narrow(User::ClassOf(window)) + "]" : std::string("none");
}

std::u16string EntryText(const MenuEntryView& entry) { return entry.separator ? u"-" : entry.text; }

bool StateHolds(const MenuEntryView& entry, const std::string& state) {
  if (state == "enabled") return !entry.grayed;
  if (state == "grayed") return entry.grayed;
  if (state == "checked") return entry.checked;
  return !entry.checked;
}

// The entries of the menu that `path` opens, looked at and dismissed again.
std::variant<std::vector<MenuEntryView>, std::string> EntriesOf(User& user, const std::vector<std::u16string>& path) {
  if (auto error = user.openMenu(path)) return error->message;
  auto entries = user.openMenuEntries();
  user.dismissMenu();
  return entries;
}

// Every wanted entry matches ("?" matches any); "..." at the end allows more.
bool EntriesMatch(std::vector<std::u16string> wanted, const std::vector<std::u16string>& found) {
  bool open = !wanted.empty() && wanted.back() == u"...";
  if (open) wanted.pop_back();
  if (open ? found.size() < wanted.size() : found.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i)
    if (wanted[i] != u"?" && wanted[i] != found[i]) return false;
  return true;
}

}  // namespace

StepResult ExpectWindow(Session& session, const Step& step) {
  HWND top = session.user.foreground();
  std::u16string wanted = Arg(step, 0);
  if (top && (SameIgnoringCase(User::ClassOf(top), wanted) || User::TextOf(top) == wanted)) return std::nullopt;
  return "expected the window " + step.args[0] + " in front, found " + Described(top);
}

StepResult ExpectDialog(Session& session, const Step& step) {
  HWND top = session.user.foreground();
  std::u16string cls = top ? User::ClassOf(top) : u"";
  bool dialog = SameIgnoringCase(cls, u"Dialog") || cls == u"#32770";
  if (dialog && User::TextOf(top) == Arg(step, 0)) return std::nullopt;
  return "expected the dialog " + Quote(Arg(step, 0)) + " in front, found " + Described(top);
}

StepResult ExpectPlace(Session& session, const Step& step) {
  Window* top = WindowSystem::get().find(session.user.foreground());
  if (!top) return std::string("no window in front");
  RECT wanted{ParseInteger<int>(step.args[0]).value(), ParseInteger<int>(step.args[1]).value(), 0, 0};
  wanted.right = wanted.left + ParseInteger<int>(step.args[2]).value();
  wanted.bottom = wanted.top + ParseInteger<int>(step.args[3]).value();
  const RECT& found = top->rect;
  if (found.left == wanted.left && found.top == wanted.top && found.right == wanted.right &&
      found.bottom == wanted.bottom)
    return std::nullopt;
  return "expected the window in front at " + Place(wanted) + ", found it at " + Place(found);
}

StepResult ExpectText(Session& session, const Step& step) {
  HWND control = session.user.findControl(Arg(step, 0));
  if (!control) return "no control " + step.args[0] + " in the window in front";
  if (User::TextOf(control) == Arg(step, 1)) return std::nullopt;
  return "expected the text " + Quote(Arg(step, 1)) + " in " + step.args[0] + ", found " + Quote(User::TextOf(control));
}

StepResult ExpectMessage(Session&, const Step& step) {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return "expected the message " + Quote(Arg(step, 0)) + ", but no message box is open";
  if (box->text != Arg(step, 0)) return "expected the message " + Quote(Arg(step, 0)) + ", found " + Quote(box->text);
  if (step.args.size() > 1 && box->caption != Arg(step, 1))
    return "expected the caption " + Quote(Arg(step, 1)) + ", found " + Quote(box->caption);
  return std::nullopt;
}

StepResult ExpectNoMessage(Session&, const Step&) {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return std::nullopt;
  return "expected no message box, found " + Quote(box->text);
}

StepResult ExpectNoMenu(Session&, const Step&) {
  if (!MenuTracker::get().isOpen()) return std::nullopt;
  return std::string("expected no open menu, found one");
}

StepResult ExpectMenu(Session& session, const Step& step) {
  std::vector<std::u16string> path = Args(step, 0, step.args.size() - 1);
  const std::string& state = step.args.back();
  std::vector<std::u16string> parent(path.begin(), path.end() - 1);
  if (parent.empty()) return std::string("name the menu-bar item and the item in its menu");
  auto entries = EntriesOf(session.user, parent);
  if (auto* error = std::get_if<std::string>(&entries)) return *error;
  std::optional<MenuEntryView> entry;
  for (const auto& e : std::get<std::vector<MenuEntryView>>(entries))
    if (!e.separator && e.text == path.back()) entry = e;
  if (!entry) return "the menu has no item " + Quote(path.back());
  if (StateHolds(*entry, state)) return std::nullopt;
  return "expected " + Quote(path.back()) + " " + state + ", found it " + (entry->grayed ? "grayed" : "enabled") +
         " and " + (entry->checked ? "checked" : "unchecked");
}

StepResult ExpectItems(Session& session, const Step& step) {
  std::size_t equals = 0;
  while (step.args[equals] != "=") ++equals;
  auto entries = EntriesOf(session.user, Args(step, 0, equals));
  if (auto* error = std::get_if<std::string>(&entries)) return *error;
  std::vector<std::u16string> found;
  for (const auto& entry : std::get<std::vector<MenuEntryView>>(entries)) found.push_back(EntryText(entry));
  std::vector<std::u16string> wanted = Args(step, equals + 1);
  if (EntriesMatch(wanted, found)) return std::nullopt;
  return "expected the entries " + QuoteAll(wanted) + ", found " + QuoteAll(found);
}

StepResult ExpectList(Session& session, const Step& step) {
  auto found = session.user.listItems();
  auto wanted = Args(step, 0);
  if (found == wanted) return std::nullopt;
  return "expected the list " + QuoteAll(wanted) + ", found " + QuoteAll(found);
}

StepResult ExpectColumns(Session& session, const Step& step) {
  auto found = session.user.listColumnHeaders();
  auto wanted = Args(step, 0);
  if (found == wanted) return std::nullopt;
  return "expected the column headers " + QuoteAll(wanted) + ", found " + QuoteAll(found);
}

StepResult ExpectRow(Session& session, const Step& step) {
  auto row = session.user.listRow(Arg(step, 0));
  if (!row) return "no list item " + Quote(Arg(step, 0));
  auto wanted = Args(step, 1);
  bool holds = row->size() >= wanted.size();
  for (std::size_t i = 0; holds && i < wanted.size(); ++i) holds = wanted[i] == u"?" || wanted[i] == (*row)[i];
  if (holds) return std::nullopt;
  return "expected the row " + QuoteAll(wanted) + ", found " + QuoteAll(*row);
}

StepResult ExpectSelected(Session& session, const Step& step) {
  auto wanted = Args(step, 0);
  if (session.user.findList()) {
    auto found = session.user.selectedListItems();
    if (found == wanted) return std::nullopt;
    return "expected the selection " + QuoteAll(wanted) + ", found " + QuoteAll(found);
  }
  auto path = session.user.selectedTreePath();
  if (!path) return std::string("the window in front has no list or tree");
  std::u16string want = wanted.empty() ? u"" : wanted.front();
  if (*path == want) return std::nullopt;
  return "expected the tree selection " + Quote(want) + ", found " + Quote(*path);
}

}  // namespace sim::scenario
