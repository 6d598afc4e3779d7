#include "monkey/choose.h"

#include "monkey/names.h"
#include "scenario/session.h"

namespace sim::monkey {

namespace {

void Add(std::vector<Proposal>& out, int weight, std::string word, const std::vector<std::u16string>& args = {}) {
  for (const auto& arg : args)
    if (!Writable(arg)) return;
  out.push_back(Proposal{weight, MakeStep(std::move(word), args)});
}

const char16_t* AnswerName(int id) {
  switch (id) {
    case IDOK: return u"ok";
    case IDCANCEL: return u"cancel";
    case IDYES: return u"yes";
    case IDNO: return u"no";
  }
  return nullptr;
}

void ProposeAnswers(const ScreenView& view, std::vector<Proposal>& out) {
  if (!view.box || !view.boxEnabled) return;
  for (const auto& button : view.box->buttons)
    if (const char16_t* name = AnswerName(button.id)) Add(out, 30, "answer", {name});
}

void ProposeMenuEntries(const ScreenView& view, std::vector<Proposal>& out) {
  if (!view.menuOpen) return;
  int usable = 0;
  for (const auto& entry : view.menuEntries) usable += !entry.separator && !entry.grayed && !entry.text.empty();
  for (const auto& entry : view.menuEntries)
    if (!entry.separator && !entry.grayed && !entry.text.empty()) Add(out, std::max(2, 60 / std::max(usable, 1)), "pick", {entry.text});
  Add(out, 4, "key", {u"escape"});
}

// How the runner finds a control: by its id when no other control has it, else by
// its text when no other control shows it; empty when neither tells it apart.
std::u16string ControlName(const ScreenView& view, const ControlView& control) {
  int sameId = 0, sameText = 0;
  for (const auto& other : view.controls) {
    sameId += other.id == control.id;
    sameText += other.text == control.text;
  }
  if (control.id > 0 && control.id <= 0xFFFF && sameId == 1)
    return u"#" + scenario::Wide(std::to_string(control.id));
  bool looksLikeId = control.text.size() > 1 && control.text[0] == u'#' && control.text[1] >= u'0' && control.text[1] <= u'9';
  if (!control.text.empty() && sameText == 1 && !looksLikeId && Writable(control.text)) return control.text;
  return u"";
}

void ProposeControls(const ScreenView& view, Random& random, std::vector<Proposal>& out) {
  for (const auto& control : view.controls) {
    std::u16string name = ControlName(view, control);
    if (name.empty()) continue;
    if (control.cls == u"BUTTON" && (control.style & 0x0F) != BS_GROUPBOX) Add(out, 6, "tap", {name});
    if (control.cls == u"EDIT") Add(out, 3, "tap", {name});
    if (control.cls == u"FEXPLORE_FOLDER") Add(out, 2, "tap", {name});
    if (control.cls == u"COMBOBOX" && !control.entries.empty() && name[0] == u'#')
      Add(out, 4, "choose", {name, random.pick(control.entries)});
  }
}

void ProposeItems(const ScreenView& view, Random& random, std::vector<Proposal>& out) {
  if (!view.listItems.empty() && view.listEnabled) {
    // A tap on a selected item may start editing its name.
    const auto& pool = !view.selected.empty() && random.chance(30) ? view.selected : view.listItems;
    Add(out, 12, "tap-item", {random.pick(pool)});
    Add(out, 4, "double-tap-item", {random.pick(view.listItems)});
    Add(out, 1, "hold-item", {random.pick(view.listItems)});
  }
  if (!view.treePaths.empty()) {
    Add(out, 8, "tap-item", {random.pick(view.treePaths)});
    Add(out, 4, "double-tap-item", {random.pick(view.treePaths)});
  }
}

void ProposeMenuBar(const ScreenView& view, std::vector<Proposal>& out) {
  if (view.menuOpen) return;
  for (const auto& label : view.menuBar) Add(out, std::max(2, 12 / static_cast<int>(view.menuBar.size())), "menu", {label});
}

void ProposeKeys(const ScreenView& view, std::vector<Proposal>& out) {
  if (!view.top) return;
  bool list = !view.listItems.empty();
  Add(out, 3, "key", {u"enter"});
  Add(out, 2, "key", {u"escape"});
  Add(out, 1, "key", {u"tab"});
  Add(out, 1, "key", {u"space"});
  Add(out, 2, "key", {u"down"});
  Add(out, 1, "key", {u"up"});
  Add(out, list ? 3 : 1, "key", {u"delete"});
  Add(out, list ? 4 : 1, "key", {u"ctrl+c"});
  Add(out, 3, "key", {u"ctrl+v"});
  Add(out, list ? 2 : 1, "key", {u"ctrl+p"});
  Add(out, view.controlHeld ? 4 : 2, "key", {view.controlHeld ? u"ctrl-up" : u"ctrl-down"});
  if (view.focusInEdit) {
    Add(out, 2, "key", {u"backspace"});
    Add(out, 1, "key", {u"ctrl+x"});
    Add(out, 1, "key", {u"ctrl+z"});
  }
}

void ProposeTyping(const ScreenView& view, const FileSnapshot& files, Random& random, std::vector<Proposal>& out) {
  if (!view.top) return;
  if (view.labelEditing) {
    const std::u16string& folder = view.place == Place::Explorer ? view.explorerFolder : view.browserFolder;
    Add(out, 20, "type", {PickName(random, files, folder, false)});
    Add(out, 12, "key", {u"enter"});
    Add(out, 3, "key", {u"escape"});
    return;
  }
  if (view.focusInEdit) {
    Add(out, 8, "type", {PickPath(random, files)});
    Add(out, 2, "type", {PickName(random, files, u"\\", false)});
    return;
  }
  Add(out, 1, "type", {PickName(random, files, u"\\", false)});
}

void ProposeWindowSteps(const ScreenView& view, std::vector<Proposal>& out) {
  if (!view.top) return;
  if (view.titleOk) Add(out, 6, "ok");
  Add(out, view.place == Place::Explorer ? 2 : 3, "close");
}

}  // namespace

bool Situation::unarmed(std::initializer_list<const char*> operations) const {
  for (const char* operation : operations)
    if (armed.count(operation)) return false;
  return true;
}

scenario::Step MakeStep(std::string word, const std::vector<std::u16string>& args) {
  scenario::Step step;
  step.word = std::move(word);
  for (const auto& arg : args) step.args.push_back(scenario::Narrow(arg));
  return step;
}

void ProposeScreenSteps(const Situation& situation, Random& random, std::vector<Proposal>& out) {
  const ScreenView& view = situation.view;
  ProposeAnswers(view, out);
  ProposeMenuEntries(view, out);
  ProposeControls(view, random, out);
  ProposeItems(view, random, out);
  ProposeMenuBar(view, out);
  ProposeKeys(view, out);
  ProposeTyping(view, situation.files, random, out);
  ProposeWindowSteps(view, out);
}

scenario::Step ChooseStep(const Situation& situation, Random& random) {
  std::vector<Proposal> proposals;
  ProposeScreenSteps(situation, random, proposals);
  ProposeDeviceSteps(situation, random, proposals);
  std::vector<int> weights;
  for (const auto& proposal : proposals) weights.push_back(proposal.weight);
  return proposals[random.weighted(weights)].step;
}

}  // namespace sim::monkey
