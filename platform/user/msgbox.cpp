// MessageBoxW: builds a dialog template for the text, icon and buttons and runs it
// like any other modal dialog.
#include "user/msgbox.h"

#include <algorithm>

#include "gdi/fonts.h"
#include "gdi/text_layout.h"
#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/dialog.h"
#include "user/input.h"
#include "user/window.h"

namespace sim {

MessageBoxes& MessageBoxes::get() { return Device::current().service<MessageBoxes>(); }

void MessageBoxes::closed(HWND dialog) {
  std::erase_if(open_, [&](const OpenMessageBox& box) { return box.dialog == dialog; });
}

bool AnswerMessageBox(int id) {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return false;
  for (const auto& button : box->buttons)
    if (button.id == id && IsWindow(button.hwnd)) return Input::get().tapWindow(button.hwnd, POINT{2, 2});
  return false;
}

namespace {

constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 20;

// Dialog-unit layout of a message box on the device's narrow screen.
constexpr int kMargin = 6;
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kIconSize = 22;  // the static takes the icon's 32 pixels
constexpr int kMaxTextWidth = 116;  // leaves room for the icon within 160 units

std::vector<MessageBoxButton> ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"キャンセル"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"中止"}, {IDRETRY, u"再試行"}, {IDIGNORE, u"無視"}};
    case MB_YESNOCANCEL: return {{IDYES, u"はい"}, {IDNO, u"いいえ"}, {IDCANCEL, u"キャンセル"}};
    case MB_YESNO: return {{IDYES, u"はい"}, {IDNO, u"いいえ"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"再試行"}, {IDCANCEL, u"キャンセル"}};
    default: return {{IDOK, u"OK"}};
  }
}

LPCWSTR IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
  }
}

struct TextBlock {
  int width = 0;  // dialog units
  int height = 0;
};

// The text laid out as its static control draws it (the system font, broken at
// words and between Japanese characters within the widest line a box allows), in
// dialog units rounded up so that nothing is cut. A word wider than that line is
// not broken: the static cuts it at its edge, and the box stays on the screen with
// its buttons.
TextBlock MeasureText(std::u16string_view text) {
  BaseUnits base = DialogFontBaseUnits(9);
  Fonts& fonts = Fonts::get();
  FontFace& face = fonts.face(fonts.systemPixelSize(), false);
  const int limit = DialogUnitsToPixelsX(kMaxTextWidth, base);
  TextLayout layout = LayOutText(face, text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS, limit);
  const int lines = std::max<int>(1, static_cast<int>(layout.lines.size()));
  const int pixelsHigh = lines * face.metrics().height;
  const int width = std::min((layout.width * 4 + base.x - 1) / base.x, kMaxTextWidth);
  return TextBlock{width, (pixelsHigh * 8 + base.y - 1) / base.y};
}

DialogItemTemplate Item(std::u16string className, DWORD style, int x, int y, int cx, int cy, int id,
                        std::u16string text) {
  DialogItemTemplate item;
  item.style = WS_CHILD | WS_VISIBLE | style;
  item.x = static_cast<std::int16_t>(x);
  item.y = static_cast<std::int16_t>(y);
  item.cx = static_cast<std::int16_t>(cx);
  item.cy = static_cast<std::int16_t>(cy);
  item.id = static_cast<std::uint32_t>(id);
  item.className = std::move(className);
  item.title = ResourceName::string(std::move(text));
  return item;
}

// Every button of the row is as wide as the widest label needs, and never narrower
// than the usual width.
int ButtonWidth(const std::vector<MessageBoxButton>& buttons) {
  BaseUnits base = DialogFontBaseUnits(9);
  int widest = 0;
  for (const MessageBoxButton& button : buttons) {
    Fonts& fonts = Fonts::get();
    FontFace& face = fonts.face(fonts.systemPixelSize(), false);
    widest = std::max(widest, LayOutText(face, button.label, DT_SINGLELINE, 0x7FFF).width);
  }
  const int padded = widest + 8 * (base.x / 6);
  return std::max(kButtonWidth, (padded * 4 + base.x - 1) / base.x);
}

int DefaultIndex(UINT type, std::size_t buttonCount) {
  int index = static_cast<int>((type & MB_DEFMASK) >> 8);
  return index < static_cast<int>(buttonCount) ? index : 0;
}

DialogTemplate BuildTemplate(std::u16string_view text, std::u16string_view caption, UINT type,
                             const std::vector<MessageBoxButton>& buttons) {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT | DS_MODALFRAME;
  if (type & MB_SETFOREGROUND) t.style |= DS_SETFOREGROUND;
  if (type & MB_TOPMOST) t.exStyle |= WS_EX_TOPMOST;
  t.caption = std::u16string(caption);
  t.pointSize = 9;
  t.typeface = u"System";
  TextBlock block = MeasureText(text);
  const bool icon = IconFor(type) != nullptr;
  int textX = kMargin + (icon ? kIconSize + kMargin : 0);
  int textHeight = block.height;
  int bodyHeight = std::max(textHeight, icon ? kIconSize : 0);
  const int buttonWidth = ButtonWidth(buttons);
  int rowWidth = static_cast<int>(buttons.size()) * (buttonWidth + kButtonGap) - kButtonGap;
  int width = std::max(textX + block.width + kMargin, rowWidth + 2 * kMargin);
  int buttonsY = kMargin + bodyHeight + kMargin;
  t.cx = static_cast<std::int16_t>(width);
  t.cy = static_cast<std::int16_t>(buttonsY + kButtonHeight + kMargin);
  if (icon) t.items.push_back(Item(u"STATIC", SS_ICON, kMargin, kMargin, kIconSize, kIconSize, kIconId, u""));
  t.items.push_back(Item(u"STATIC", SS_LEFT | SS_NOPREFIX, textX, kMargin + (bodyHeight - textHeight) / 2,
                         std::max(block.width, 4), textHeight, kTextId, std::u16string(text)));
  int x = (width - rowWidth) / 2;
  int defaultIndex = DefaultIndex(type, buttons.size());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    DWORD style = WS_TABSTOP | (static_cast<int>(i) == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (i == 0) style |= WS_GROUP;
    t.items.push_back(Item(u"BUTTON", style, x, buttonsY, buttonWidth, kButtonHeight, buttons[i].id, buttons[i].label));
    x += buttonWidth + kButtonGap;
  }
  return t;
}

struct MessageBoxRequest {
  OpenMessageBox box;
  bool hasCancel = false;
};

bool HasButton(const OpenMessageBox& box, int id) {
  return std::any_of(box.buttons.begin(), box.buttons.end(), [&](const auto& b) { return b.id == id; });
}

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* request = reinterpret_cast<MessageBoxRequest*>(lParam);
      SetWindowLongW(dialog, DWL_USER, lParam);
      OpenMessageBox box = request->box;
      box.dialog = dialog;
      for (auto& button : box.buttons) button.hwnd = GetDlgItem(dialog, button.id);
      if (LPCWSTR icon = IconFor(box.type))
        SendDlgItemMessageW(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
      MessageBoxes::get().opened(box);
      if (HWND button = GetDlgItem(dialog, box.defaultId)) SetFocus(button);
      return FALSE;
    }
    case WM_COMMAND: {
      auto* request = reinterpret_cast<MessageBoxRequest*>(GetWindowLongW(dialog, DWL_USER));
      if (!request) return FALSE;
      int id = LOWORD(wParam);
      // Escape or Close answers a box whose only button is OK with OK; boxes
      // without Cancel otherwise ignore them.
      if (id == IDCANCEL && !HasButton(request->box, IDCANCEL) && request->box.buttons.size() == 1 &&
          request->box.buttons[0].id == IDOK)
        id = IDOK;
      if (HasButton(request->box, id)) {
        EndDialog(dialog, id);
        MessageBoxes::get().closed(dialog);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

}  // namespace sim

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  if (!sim::Scheduler::current()) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  if (owner && !sim::WindowSystem::get().checked(owner, "MessageBoxW")) return 0;
  if (sim::FailsByInjection("MessageBoxW")) return 0;
  sim::MessageBoxRequest request;
  request.box.owner = owner;
  request.box.text = text ? std::u16string(text) : std::u16string();
  request.box.caption = caption ? std::u16string(caption) : std::u16string(u"エラー");
  request.box.type = type;
  request.box.buttons = sim::ButtonsFor(type);
  request.box.defaultId = request.box.buttons[sim::DefaultIndex(type, request.box.buttons.size())].id;
  sim::DialogTemplate t = sim::BuildTemplate(request.box.text, request.box.caption, type, request.box.buttons);
  HWND dialog = sim::CreateDialogFromTemplate(t, nullptr, owner, sim::MessageBoxProc,
                                              reinterpret_cast<LPARAM>(&request), true);
  if (!dialog) return 0;
  struct Forget {
    HWND dialog;
    ~Forget() { sim::MessageBoxes::get().closed(dialog); }
  } forget{dialog};
  return static_cast<int>(sim::RunModalDialog(dialog));
}

BOOL MessageBeep(UINT) { return TRUE; }
