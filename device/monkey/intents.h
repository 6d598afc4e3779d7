// What the user asked for with each step, as far as the device's files go: the
// allowance of a step is worked out from the step and from what the screen showed
// before it (the folder on screen, the selection, the name typed, the choices of a
// dialog), together with what earlier steps asked that is still waiting for an
// answer (a confirmation box that a later step answers).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "monkey/allowance.h"
#include "monkey/file_model.h"
#include "monkey/screen.h"
#include "scenario/script.h"
#include "user.h"

namespace sim::monkey {

class Intents {
 public:
  // What `step` may change, seen from `view` and `files` as they were before it.
  // `failureArmed`: an injected failure may meet the step. A step that touches the
  // screen is left to touched(): what it reaches is known once it has landed.
  Allowance before(const scenario::Step& step, const ScreenView& view, const FileSnapshot& files,
                   bool failureArmed);
  // Adds what a touching step may change, from `reached` (see ReachedStep).
  void touched(const scenario::Step& reached, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
               Allowance& allowance);
  // Notes what the step left waiting: a confirmation box it opened, the folder the
  // companion took for a paste. `step` is what the step reached (see ReachedStep).
  void after(const scenario::Step& step, const ScreenView& before, const ScreenView& after);

 private:
  void commands(const scenario::Step& step, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                Allowance& allowance);
  void hostStep(const scenario::Step& step, Allowance& allowance) const;
  void labelEdit(const ScreenView& view, Allowance& allowance) const;
  void explorerCommand(const scenario::Step& step, const ScreenView& view, Allowance& allowance) const;
  void browserCommand(const scenario::Step& step, const ScreenView& view, Allowance& allowance) const;
  void buttons(const scenario::Step& step, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
               Allowance& allowance);
  void pasteQuestion(const ScreenView& view, const FileSnapshot& files, bool failureArmed, Allowance& allowance);
  void pasteShortcut(const std::u16string& path, const FileSnapshot& files, bool failureArmed, Allowance& allowance);
  void setupTool(int button, const ScreenView& view, const FileSnapshot& files, bool failureArmed,
                 Allowance& allowance) const;

  // What a "yes" to each open confirmation box allows, by the box's window.
  std::map<HWND, Allowance> onYes_;
  // The folder the companion took from the File Explorer for its last paste.
  std::u16string companionFolder_;
  // A shortcut paste that found its name taken, waiting for the overwrite question.
  std::optional<Allowance> overwrite_;
  // The setup tool's OK, whose report box may come before it writes.
  std::optional<Allowance> setupReport_;
  // Names being edited in a window that another has covered, by their edit box: the
  // name as typed may be taken whenever the edit ends, however it ends.
  std::map<HWND, Allowance> editsBehind_;
  // The File Explorer's delete asked for while a message box was open (a rename
  // refused as the menu closed): its question comes once that box is answered.
  std::optional<Allowance> explorerDelete_;
  // What the setup tool does once its report is closed, however it is closed, by
  // the report's window; allowed to every step while the report is open.
  std::map<HWND, Allowance> whileOpen_;
};

// True for a step that puts the stylus on the screen (a tap, an item or control
// touched): it acts on whatever is drawn where it lands.
bool Touches(const scenario::Step& step);

// What a step did, for the model: a touching step that landed on an entry of an open
// menu picked that entry (or opened its submenu), one that landed on a button
// pressed it, one that landed on a list or tree is the step itself, and one that met
// anything else (outside an open menu, which only closes it; the input panel; a
// control it did not aim at) did nothing the model follows. Other steps are themselves.
scenario::Step ReachedStep(const scenario::Step& step, const ScreenView& view, const std::optional<Touch>& touch);

// The buttons of the window in front (or of the newest message box, for `answer`)
// that `step` may press; empty for a step that presses none.
std::vector<int> PressedButtons(const scenario::Step& step, const ScreenView& view);

// The name the companion gives a shortcut to `path`: the part after its last
// backslash, without its last extension unless the only dot is the name's first.
std::u16string ShortcutBaseName(std::u16string_view path);

}  // namespace sim::monkey
