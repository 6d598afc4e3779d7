#include "scenario/words.h"

#include <array>

#include "scenario/steps.h"

namespace sim::scenario {

namespace {

constexpr int kMany = 1 << 20;

constexpr std::array kWords = {
    Word{"screen", 2, 2, "screen WIDTH HEIGHT", CheckScreen, Screen},
    Word{"folder", 1, 1, "folder PATH", nullptr, Folder},
    Word{"file", 1, 2, "file PATH [TEXT]", nullptr, File},
    Word{"sized", 2, 2, "sized PATH BYTES", CheckBytes, Sized},
    Word{"shortcut", 2, 2, "shortcut PATH TARGET", nullptr, Shortcut},
    Word{"remove", 1, 1, "remove PATH", nullptr, Remove},
    Word{"program", 1, 1, "program PATH", nullptr, Program},
    Word{"fail", 1, 4, "fail OPERATION [COUNT] [after N]", CheckFail, Fail},
    Word{"start", 1, 2, "start PATH [CMDLINE]", nullptr, Start},
    Word{"open", 1, 1, "open PATH", nullptr, Open},
    Word{"wait", 1, 1, "wait MS", CheckMilliseconds, Wait},
    Word{"close", 0, 0, "close", nullptr, Close},
    Word{"tap", 1, 1, "tap TEXT|#ID", CheckControl, Tap},
    Word{"tap-at", 2, 2, "tap-at X Y", CheckPoint, TapAt},
    Word{"double-tap-at", 2, 2, "double-tap-at X Y", CheckPoint, DoubleTapAt},
    Word{"hold-at", 2, 2, "hold-at X Y", CheckPoint, HoldAt},
    Word{"choose", 2, 2, "choose #ID TEXT", CheckControlId, Choose},
    Word{"tap-item", 1, 1, "tap-item TEXT", nullptr, TapItem},
    Word{"double-tap-item", 1, 1, "double-tap-item TEXT", nullptr, DoubleTapItem},
    Word{"hold-item", 1, 1, "hold-item TEXT", nullptr, HoldItem},
    Word{"key", 1, kMany, "key KEYS", CheckKeys, Key},
    Word{"type", 1, 1, "type TEXT", nullptr, Type},
    Word{"menu", 1, kMany, "menu ITEM [SUBITEM...]", nullptr, Menu},
    Word{"pick", 1, kMany, "pick ITEM [SUBITEM...]", nullptr, Pick},
    Word{"ok", 0, 0, "ok", nullptr, Ok},
    Word{"answer", 1, 1, "answer ok|cancel|yes|no", CheckAnswer, Answer},
    Word{"sip", 1, 1, "sip on|off", CheckInputPanel, InputPanel},
    Word{"chooser", 3, 4, "chooser file|folder|tree TITLE PATH [must-exist]", CheckChooser, Chooser},
    Word{"version", 1, 1, "version INDEX", CheckVersion, Version},
    Word{"show", 0, 0, "show", nullptr, Show},
    Word{"screenshot", 1, 1, "screenshot FILE.png", CheckPictureFile, Screenshot},
    Word{"expect window", 1, 1, "expect window CLASS|TITLE", nullptr, ExpectWindow},
    Word{"expect dialog", 1, 1, "expect dialog TITLE", nullptr, ExpectDialog},
    Word{"expect place", 4, 4, "expect place X Y WIDTH HEIGHT", CheckPlace, ExpectPlace},
    Word{"expect text", 2, 2, "expect text #ID TEXT", CheckControlId, ExpectText},
    Word{"expect message", 1, 2, "expect message TEXT [CAPTION]", nullptr, ExpectMessage},
    Word{"expect no-message", 0, 0, "expect no-message", nullptr, ExpectNoMessage},
    Word{"expect menu", 2, kMany, "expect menu ITEM... enabled|grayed|checked|unchecked", CheckMenuState, ExpectMenu},
    Word{"expect no-menu", 0, 0, "expect no-menu", nullptr, ExpectNoMenu},
    Word{"expect items", 2, kMany, "expect items ITEM... = ENTRY...", CheckItemsEquals, ExpectItems},
    Word{"expect list", 0, kMany, "expect list ENTRY...", nullptr, ExpectList},
    Word{"expect row", 1, kMany, "expect row NAME CELL...", nullptr, ExpectRow},
    Word{"expect columns", 0, kMany, "expect columns [HEADER...]", nullptr, ExpectColumns},
    Word{"expect selected", 0, kMany, "expect selected TEXT...", nullptr, ExpectSelected},
    Word{"expect screen", 1, 1, "expect screen FILE.png", CheckGoldenFile, ExpectScreen},
    Word{"expect file", 1, 2, "expect file PATH [TEXT]", nullptr, ExpectFile},
    Word{"expect no-file", 1, 1, "expect no-file PATH", nullptr, ExpectNoFile},
    Word{"expect folder", 1, 1, "expect folder PATH", nullptr, ExpectFolder},
    Word{"expect shortcut", 2, 2, "expect shortcut PATH TARGET", nullptr, ExpectShortcut},
    Word{"expect clipboard", 0, kMany, "expect clipboard LINE...", nullptr, ExpectClipboard},
    Word{"expect started", 1, 2, "expect started PATH [CMDLINE]", nullptr, ExpectStarted},
    Word{"expect start-failed", 1, 2, "expect start-failed PATH [CMDLINE]", nullptr, ExpectStartFailed},
    Word{"expect no-start", 0, 0, "expect no-start", nullptr, ExpectNoStart},
    Word{"expect chosen", 1, 2, "expect chosen RESULT [PATH]", CheckChosen, ExpectChosen},
    Word{"expect running", 1, 1, "expect running PATH", nullptr, ExpectRunning},
    Word{"expect not-running", 1, 1, "expect not-running PATH", nullptr, ExpectNotRunning},
    Word{"expect ended", 1, 2, "expect ended PATH [CODE]", CheckExitCode, ExpectEnded},
    Word{"expect no-orphans", 0, 0, "expect no-orphans", nullptr, ExpectNoOrphans},
    Word{"expect no-leaks", 0, 0, "expect no-leaks", nullptr, ExpectNoLeaks},
};

}  // namespace

std::span<const Word> Words() { return kWords; }

const Word* FindWord(std::string_view name) {
  for (const auto& word : kWords)
    if (word.name == name) return &word;
  return nullptr;
}

}  // namespace sim::scenario
