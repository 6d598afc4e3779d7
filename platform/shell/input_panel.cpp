// The input panel: a keyboard of our own design above the menu bar, in alphabetical
// order (digits and Backspace, a to m, n to z, then Shift, punctuation, a wide
// space and Enter). A tap types into the window in front, as a person's tap on the
// panel does: characters as WM_CHAR, Backspace and Enter as keys.
#include <windows.h>

#include <string>
#include <vector>

#include "shell/shell_screen.h"
#include "shell/shell_surfaces.h"
#include "user/draw.h"
#include "user/input.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr int kColumns = 13;
constexpr int kRows = 4;
constexpr int kKeyWidth = 18;

enum class KeyKind { Character, Backspace, Enter, Shift };

struct Key {
  KeyKind kind;
  char16_t character;
  int width;  // in key units
  std::u16string label;
};

std::vector<Key> RowOf(int row) {
  auto letters = [](std::u16string_view from) {
    std::vector<Key> keys;
    for (char16_t c : from) keys.push_back(Key{KeyKind::Character, c, 1, std::u16string(1, c)});
    return keys;
  };
  switch (row) {
    case 0: {
      auto keys = letters(u"1234567890");
      keys.push_back(Key{KeyKind::Backspace, 0, 3, u"BS"});
      return keys;
    }
    case 1: return letters(u"abcdefghijklm");
    case 2: return letters(u"nopqrstuvwxyz");
    default: {
      std::vector<Key> keys{Key{KeyKind::Shift, 0, 2, u"Shift"}};
      for (Key key : letters(u".,-@_")) keys.push_back(key);
      keys.push_back(Key{KeyKind::Character, u' ', 4, u""});
      keys.push_back(Key{KeyKind::Enter, u'\r', 2, u"Enter"});
      return keys;
    }
  }
}

RECT PanelRect() {
  const WindowSystem& windows = WindowSystem::get();
  const int bottom = windows.screenHeight() - WindowSystem::kMenuBarHeight * windows.scale();
  return RECT{0, bottom - windows.inputPanel().height, windows.screenWidth(), bottom};
}

struct PlacedKey {
  Key key;
  RECT rect;
};

std::vector<PlacedKey> Keys() {
  RECT panel = PanelRect();
  const int s = Scaled(1);
  const int rowHeight = (panel.bottom - panel.top) / kRows;
  const int left = panel.left + (panel.right - panel.left - kColumns * kKeyWidth * s) / 2;
  std::vector<PlacedKey> placed;
  for (int row = 0; row < kRows; ++row) {
    int x = left;
    const int top = panel.top + row * rowHeight;
    for (const Key& key : RowOf(row)) {
      RECT rect{x + s, top + s, x + key.width * kKeyWidth * s - s, top + rowHeight - s};
      placed.push_back(PlacedKey{key, rect});
      x += key.width * kKeyWidth * s;
    }
  }
  return placed;
}

std::u16string Shifted(const Key& key, bool shift) {
  if (shift && key.character >= u'a' && key.character <= u'z')
    return std::u16string(1, static_cast<char16_t>(key.character - u'a' + u'A'));
  return key.label;
}

class InputPanelSurface final : public SystemSurface {
 public:
  int layer() const override { return 20; }
  Region area() const override {
    return WindowSystem::get().inputPanel().raised ? Region(PanelRect()) : Region();
  }

  void paint(HDC dc) override {
    FillWithSysColor(dc, PanelRect(), COLOR_BTNFACE);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ font = UseSystemFont(dc);
    for (const PlacedKey& placed : Keys()) {
      const bool latched = placed.key.kind == KeyKind::Shift && shift_;
      FillWithSysColor(dc, placed.rect, latched ? COLOR_HIGHLIGHT : COLOR_WINDOW);
      OutlineRect(dc, placed.rect, GetSysColorBrush(COLOR_BTNSHADOW), Scaled(1));
      SetTextColor(dc, GetSysColor(latched ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      RECT label = placed.rect;
      std::u16string text = Shifted(placed.key, shift_);
      DrawTextW(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(dc, font);
  }

  std::u16string describe(POINT screen) const override {
    std::u16string key = InputPanelKeyAt(screen);
    return key.empty() ? u"input panel" : u"input panel: key " + key;
  }

  bool tap(POINT screen) override {
    for (const PlacedKey& placed : Keys())
      if (PtInRect(&placed.rect, screen)) {
        press(placed.key);
        return true;
      }
    return true;
  }

 private:
  void press(const Key& key) {
    Input& input = Input::get();
    switch (key.kind) {
      case KeyKind::Shift:
        shift_ = !shift_;
        ScreenLayout::get().repaintSurface(*this);
        return;
      case KeyKind::Backspace:
      case KeyKind::Enter: {
        const BYTE vk = key.kind == KeyKind::Backspace ? VK_BACK : VK_RETURN;
        input.key(vk, false);
        input.key(vk, true);
        return;
      }
      case KeyKind::Character: {
        std::u16string typed = Shifted(key, shift_);
        input.character(key.character == u' ' ? u' ' : typed.front());
        if (shift_) {
          shift_ = false;
          ScreenLayout::get().repaintSurface(*this);
        }
        return;
      }
    }
  }

  bool shift_ = false;
};

}  // namespace

std::u16string InputPanelKeyAt(POINT screen) {
  if (!WindowSystem::get().inputPanel().raised) return {};
  for (const PlacedKey& placed : Keys())
    if (PtInRect(&placed.rect, screen)) return placed.key.kind == KeyKind::Character && placed.key.character == u' '
                                                   ? u"Space"
                                                   : placed.key.label;
  return {};
}

std::unique_ptr<SystemSurface> MakeInputPanel() { return std::make_unique<InputPanelSurface>(); }

}  // namespace sim
