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

namespace sim::monkey {

class Intents {
 public:
  // What `step` may change, seen from `view` and `files` as they were before it.
  // `failureArmed`: an injected failure may meet the step.
  Allowance before(const scenario::Step& step, const ScreenView& view, const FileSnapshot& files,
                   bool failureArmed);
  // Notes what the step left waiting: a confirmation box it opened, the folder the
  // companion took for a paste.
  void after(const scenario::Step& step, const ScreenView& before, const ScreenView& after);

 private:
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
  // What the setup tool does once its report is closed, however it is closed, by
  // the report's window; allowed to every step while the report is open.
  std::map<HWND, Allowance> whileOpen_;
};

// The buttons of the window in front (or of the newest message box, for `answer`)
// that `step` may press; empty for a step that presses none.
std::vector<int> PressedButtons(const scenario::Step& step, const ScreenView& view);

// The name the companion gives a shortcut to `path`: the part after its last
// backslash, without its last extension unless the only dot is the name's first.
std::u16string ShortcutBaseName(std::u16string_view path);

}  // namespace sim::monkey
