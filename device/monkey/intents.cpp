#include "monkey/intents.h"

#include <set>

#include "monkey/choose.h"

#include "explorer.h"
#include "kernel/device.h"
#include "scenario/session.h"
#include "shell/shortcut.h"
#include "user/clipboard.h"

namespace sim::monkey {

namespace {

using scenario::Step;
using scenario::Wide;

constexpr char16_t kNewFolder[] = u"新しいﾌｫﾙﾀﾞ";
constexpr char16_t kExplorerDeleteCaption[] = u"削除の確認";
constexpr char16_t kBrowserDeleteCaption[] = u"Delete ?";
constexpr char16_t kOverwriteCaption[] = u"上書きの確認";
constexpr char16_t kQuestionStart[] = u"このﾌｫﾙﾀﾞに'";
constexpr char16_t kQuestionEnd[] = u"'へのｼｮｰﾄｶｯﾄを作成しますか?";
constexpr char16_t kCompanionProgram[] = u"\"\\Program Files\\Brackenway\\Brackenway.exe\" ";
constexpr char16_t kProgramsShortcut[] = u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk";
constexpr char16_t kStartMenuShortcut[] = u"\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk";
constexpr char16_t kExplorerTarget[] = u"\\windows\\fexplore.exe";
constexpr int kPasteMessageId = 1001;
constexpr int kBrowserNewFolderButton = 1022;
// The setup tool's controls.
constexpr int kRestoreButton = 3;
constexpr int kStartRoot = 1002;
constexpr int kStartProgramFiles = 1003;
constexpr int kLinkStartMenu = 1004;
constexpr int kMakeLinkFolders = 1005;

// A menu entry chosen: by `pick` in the open menu, or by `menu` along a path.
bool IsPick(const Step& step, std::u16string_view item) {
  bool chooses = step.word == "pick" || (step.word == "menu" && step.args.size() > 1);
  return chooses && !step.args.empty() && Wide(step.args.back()) == item;
}

bool PressesKey(const Step& step, std::string_view key) {
  if (step.word != "key") return false;
  for (const auto& name : step.args)
    if (scenario::SameIgnoringCase(Wide(name), Wide(std::string(key)))) return true;
  return false;
}

bool Contains(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// The paths of the File Explorer's file list on the clipboard, read without
// registering its format (which would change the ids later registrations get).
std::vector<std::u16string> ClipboardFileList() {
  auto* clipboard = Device::current().findService<Clipboard>();
  if (!clipboard) return {};
  for (UINT format : clipboard->formats()) {
    if (clipboard->formatName(format) != std::u16string(explorer::kFileListFormat)) continue;
    auto bytes = clipboard->bytes(format);
    if (bytes) return explorer::ParseFileListBlock(bytes->data(), bytes->size());
  }
  return {};
}

std::optional<std::u16string> ShortcutTargetOf(const FileSnapshot& files, std::u16string_view path) {
  const FileEntry* entry = files.find(path);
  if (!entry || entry->folder || entry->size > FileEntry::kKeptBytes) return std::nullopt;
  auto target = DecodeShortcut(std::span(reinterpret_cast<const unsigned char*>(entry->bytes.data()), entry->bytes.size()));
  if (!target) return std::nullopt;
  return *target;
}

// A shortcut written over whatever is at `path`: the old target may be written
// back when the new one cannot be, and only an injected failure may lose the file.
void ReplacedShortcut(Allowance& allowance, const std::u16string& path, const std::u16string& target,
                      const FileSnapshot& files, bool failureArmed) {
  std::vector<std::u16string> targets{target};
  if (auto old = ShortcutTargetOf(files, path)) targets.push_back(*old);
  allowance.shortcut(path, targets, true, failureArmed);
}

bool Checked(const ScreenView& view, int id) {
  const ControlView* control = view.control(id);
  return control && control->checked;
}

}  // namespace

std::u16string ShortcutBaseName(std::u16string_view path) {
  std::u16string name = NameOf(path);
  std::size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos && dot >= 1) name.resize(dot);
  return name;
}

std::vector<int> PressedButtons(const Step& step, const ScreenView& view) {
  if (step.word == "answer") {
    const std::string& answer = step.args[0];
    return {answer == "ok" ? IDOK : answer == "cancel" ? IDCANCEL : answer == "yes" ? IDYES : IDNO};
  }
  if (step.word == "ok") return view.titleOk ? std::vector<int>{IDOK} : std::vector<int>{};
  if (step.word == "tap") {
    std::u16string wanted = Wide(step.args[0]);
    for (const auto& control : view.controls) {
      bool byId = wanted.size() > 1 && wanted[0] == u'#' && Wide(std::to_string(control.id)) == wanted.substr(1);
      if (byId || (wanted[0] != u'#' && control.text == wanted))
        return control.cls == u"BUTTON" ? std::vector<int>{control.id} : std::vector<int>{};
    }
    return {};
  }
  std::vector<int> pressed;
  if (PressesKey(step, "enter")) {
    if (view.focusedButton) pressed.push_back(view.focusedButton);
    if (view.defaultButton) pressed.push_back(view.defaultButton);
    if (view.box && view.top == view.box->dialog) pressed.push_back(view.box->defaultId);
  }
  if (PressesKey(step, "space") && view.focusedButton) pressed.push_back(view.focusedButton);
  return pressed;
}

bool Touches(const Step& step) {
  static const std::set<std::string> kTouching{"tap",      "tap-item", "double-tap-item", "hold-item",
                                               "tap-at",   "double-tap-at", "hold-at"};
  return kTouching.contains(step.word);
}

Step ReachedStep(const Step& step, const ScreenView& view, const std::optional<Touch>& touch) {
  if (!Touches(step)) return step;
  const Step nothing = MakeStep("touch-nothing");
  if (!touch) return nothing;
  if (touch->menuEntry) {
    const MenuEntryView& entry = *touch->menuEntry;
    return entry.separator || entry.grayed || entry.submenu ? nothing : MakeStep("pick", {entry.text});
  }
  if (touch->hit.kind != ScreenHit::Kind::Window || touch->hit.part != WindowPart::Client) return nothing;
  for (const auto& control : view.controls)
    if (control.hwnd == touch->hit.window && control.cls == u"BUTTON")
      return MakeStep("tap", {u"#" + Wide(std::to_string(control.id))});
  return step.word.ends_with("-item") ? step : nothing;
}

Allowance Intents::before(const Step& step, const ScreenView& view, const FileSnapshot& files, bool failureArmed) {
  Allowance allowance;
  for (const auto& [box, waiting] : whileOpen_) allowance.add(waiting);
  for (const auto& [edit, rename] : editsBehind_) allowance.add(rename);
  hostStep(step, allowance);
  if (view.labelEditing) labelEdit(view, allowance);
  if (!Touches(step)) commands(step, view, files, failureArmed, allowance);
  return allowance;
}

void Intents::touched(const Step& reached, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                      Allowance& allowance) {
  commands(reached, view, files, failureArmed, allowance);
}

void Intents::commands(const Step& step, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                       Allowance& allowance) {
  explorerCommand(step, view, allowance);
  browserCommand(step, view, allowance);
  buttons(step, view, files, failureArmed, allowance);
}

void Intents::hostStep(const Step& step, Allowance& allowance) const {
  if (step.word == "file") allowance.write(Wide(step.args[0]), step.args.size() > 1 ? step.args[1] : std::string());
  if (step.word == "folder") allowance.makeFolders(Wide(step.args[0]));
  if (step.word == "program" || step.word == "sized") allowance.anyFile(Wide(step.args[0]));
  if (step.word == "remove") allowance.remove(Wide(step.args[0]), true);
  if (step.word == "shortcut") {
    allowance.makeFolders(ParentPath(Wide(step.args[0])));
    allowance.shortcut(Wide(step.args[0]), {Wide(step.args[1])}, true, false);
  }
}

// A name being edited is kept when the edit ends, whichever step ends it.
void Intents::labelEdit(const ScreenView& view, Allowance& allowance) const {
  const std::u16string& folder = view.place == Place::Explorer ? view.explorerFolder : view.browserFolder;
  if (folder.empty() || view.labelItem.empty() || view.labelText.empty()) return;
  allowance.move(JoinPath(folder, view.labelItem), JoinPath(folder, view.labelText));
}

void Intents::explorerCommand(const Step& step, const ScreenView& view, Allowance& allowance) const {
  if (view.place != Place::Explorer || view.explorerFolder.empty()) return;
  bool paste = IsPick(step, u"貼り付け") || (PressesKey(step, "ctrl+v") && !view.labelEditing);
  if (paste)
    for (const auto& source : ClipboardFileList()) allowance.copyTree(source, JoinPath(view.explorerFolder, NameOf(source)));
  if (!IsPick(step, kNewFolder)) return;
  allowance.folder(JoinPath(view.explorerFolder, kNewFolder));
  for (int n = 2; n <= 100; ++n)
    allowance.folder(JoinPath(view.explorerFolder, std::u16string(kNewFolder) + u" (" + Wide(std::to_string(n)) + u")"));
}

void Intents::browserCommand(const Step& step, const ScreenView& view, Allowance& allowance) const {
  if (view.place != Place::FileBrowser || view.browserFolder.empty()) return;
  if (!IsPick(step, kNewFolder) && !Contains(PressedButtons(step, view), kBrowserNewFolderButton)) return;
  allowance.folder(JoinPath(view.browserFolder, kNewFolder));
  for (int n = 2; n <= 100; ++n)
    allowance.folder(JoinPath(view.browserFolder, std::u16string(kNewFolder) + u"#" + Wide(std::to_string(n))));
}

void Intents::buttons(const Step& step, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                      Allowance& allowance) {
  std::vector<int> pressed = PressedButtons(step, view);
  if (pressed.empty()) return;
  HWND box = step.word == "answer" && view.box ? view.box->dialog : view.top;
  if (auto it = onYes_.find(box); it != onYes_.end() && (Contains(pressed, IDYES) || Contains(pressed, IDOK)))
    allowance.add(it->second);
  if (view.place == Place::PasteQuestion && Contains(pressed, IDOK)) pasteQuestion(view, files, failureArmed, allowance);
  if (view.place == Place::Setup)
    for (int id : {IDOK, kRestoreButton})
      if (Contains(pressed, id)) {
        Allowance setup;
        setupTool(id, view, files, failureArmed, setup);
        allowance.add(setup);
        setupReport_ = setup;
      }
}

// "Yes" to the question makes a shortcut to the copied path in the folder the paste
// was asked in; when the name is taken it only asks whether to overwrite.
void Intents::pasteQuestion(const ScreenView& view, const FileSnapshot& files, bool failureArmed, Allowance& allowance) {
  const ControlView* message = view.control(kPasteMessageId);
  if (!message || companionFolder_.empty()) return;
  std::u16string_view text = message->text;
  std::u16string_view start(kQuestionStart), end(kQuestionEnd);
  if (!text.starts_with(start) || !text.ends_with(end)) {
    // The question's text could not be set: "yes" is to one of the copied paths,
    // which the companion takes as it reads them (a path it cannot find loses its
    // last character).
    for (auto path : ClipboardFileList()) {
      if (!files.find(path) && !path.empty()) path.pop_back();
      pasteShortcut(path, files, failureArmed, allowance);
    }
    return;
  }
  pasteShortcut(std::u16string(text.substr(start.size(), text.size() - start.size() - end.size())), files,
                failureArmed, allowance);
}

void Intents::pasteShortcut(const std::u16string& path, const FileSnapshot& files, bool failureArmed,
                            Allowance& allowance) {
  std::u16string link = JoinPath(companionFolder_, ShortcutBaseName(path) + u".lnk");
  std::u16string target = u"\"" + path + u"\"";
  // A shortcut that would take the copied shortcut's own place is refused.
  if (PathKey(link) == PathKey(path)) return;
  if (!files.find(link)) {
    // A write that meets an injected failure may leave what it wrote.
    allowance.shortcut(link, {target}, false, failureArmed);
    return;
  }
  Allowance replace;
  ReplacedShortcut(replace, link, target, files, failureArmed);
  if (overwrite_)
    overwrite_->add(replace);
  else
    overwrite_ = replace;
}

// OK writes the Start-menu shortcut the dialog's choices describe (and the link
// folders when asked); the restore button writes the stock File Explorer's.
void Intents::setupTool(int button, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                        Allowance& allowance) const {
  std::u16string path = Checked(view, kLinkStartMenu) ? kStartMenuShortcut : kProgramsShortcut;
  if (button == kRestoreButton) {
    ReplacedShortcut(allowance, path, kExplorerTarget, files, failureArmed);
    return;
  }
  std::u16string folder = Checked(view, kStartRoot) ? u"\\" : Checked(view, kStartProgramFiles) ? u"\\Program Files\\" : u"";
  ReplacedShortcut(allowance, path, kCompanionProgram + folder, files, failureArmed);
  if (Checked(view, kMakeLinkFolders)) {
    allowance.folder(u"\\Windows\\SendTo");
    allowance.folder(u"\\Windows\\MoveTo");
  }
}

void Intents::after(const Step& step, const ScreenView& before, const ScreenView& after) {
  if ((IsPick(step, u"ｼｮｰﾄｶｯﾄの貼り付け") || IsPick(step, u"ﾂﾘｰで選択")) && before.place == Place::Explorer)
    companionFolder_ = before.explorerFolder;
  // A File Explorer that a message box of its own has disabled takes no keys.
  if ((IsPick(step, u"削除") || PressesKey(step, "delete")) && before.place == Place::Explorer && before.enabled) {
    Allowance asked;
    for (const auto& name : before.selected) asked.remove(JoinPath(before.explorerFolder, name), false);
    explorerDelete_ = asked;
  }
  bool newBox = after.box && (!before.box || before.box->dialog != after.box->dialog);
  if (newBox) {
    const OpenMessageBox& box = *after.box;
    Allowance yes;
    if (box.caption == kExplorerDeleteCaption && before.place == Place::Explorer && before.enabled)
      for (const auto& name : before.selected) yes.remove(JoinPath(before.explorerFolder, name), false);
    else if (box.caption == kExplorerDeleteCaption && explorerDelete_)
      yes = *explorerDelete_;
    if (box.caption == kExplorerDeleteCaption) explorerDelete_.reset();
    if (box.caption == kBrowserDeleteCaption && before.place == Place::FileBrowser)
      yes.remove(JoinPath(before.browserFolder, box.text), false);
    if (box.caption == kOverwriteCaption && overwrite_) yes = *overwrite_;
    if (!yes.empty()) onYes_[box.dialog] = yes;
    if (setupReport_) whileOpen_[box.dialog] = *setupReport_;
  }
  if (before.labelEditing && after.labelEditBox != before.labelEditBox && IsWindow(before.labelEditBox)) {
    Allowance rename;
    labelEdit(before, rename);
    editsBehind_[before.labelEditBox] = rename;
  }
  overwrite_.reset();
  setupReport_.reset();
  if (!after.box) explorerDelete_.reset();
  std::erase_if(onYes_, [](const auto& entry) { return !IsWindow(entry.first); });
  std::erase_if(whileOpen_, [](const auto& entry) { return !IsWindow(entry.first); });
  std::erase_if(editsBehind_, [](const auto& entry) { return !IsWindow(entry.first); });
}

}  // namespace sim::monkey
