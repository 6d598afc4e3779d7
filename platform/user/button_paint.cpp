// How a BUTTON looks, in our own design: a push button is a flat face with a dark
// outline (two pixels for the default button), the highlight colour while held
// down; a check box is a white square with a tick; a radio button a white circle
// with a dot; a group box a thin frame with its label at the top. The parent's
// WM_CTLCOLORBTN brush paints the background and its text colour the label.
#include <windows.h>

#include <algorithm>

#include "gdi/gdi_objects.h"
#include "user/button.h"
#include "user/draw.h"
#include "user/paint_messages.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr int kBoxSize = 13;
constexpr int kLabelGap = 4;

struct Look {
  HWND hwnd;
  HDC dc;
  RECT client;
  DWORD style;
  const ButtonState& state;
  bool enabled;
  std::u16string text;
};

UINT HorizontalAlignment(DWORD style, UINT otherwise) {
  switch (style & BS_CENTER) {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return otherwise;
  }
}

UINT LabelFormat(DWORD style, UINT alignment) {
  UINT format = HorizontalAlignment(style, alignment);
  return (style & BS_MULTILINE) ? (format | DT_WORDBREAK) : (format | DT_SINGLELINE | DT_VCENTER);
}

// Draws the label centred vertically in `area` (even when it wraps onto several
// lines) and gives where its text lies.
RECT DrawLabel(const Look& look, RECT area, UINT format) {
  if (!look.enabled) SetTextColor(look.dc, GetSysColor(COLOR_GRAYTEXT));
  RECT measured = area;
  DrawTextW(look.dc, look.text.c_str(), -1, &measured, (format & ~(DT_CENTER | DT_RIGHT | DT_VCENTER)) | DT_CALCRECT);
  const LONG width = std::min(measured.right - measured.left, area.right - area.left);
  const LONG height = measured.bottom - measured.top;
  const LONG top = area.top + std::max(0L, (area.bottom - area.top - height) / 2);
  LONG left = area.left;
  if (format & DT_CENTER) left += (area.right - area.left - width) / 2;
  if (format & DT_RIGHT) left = area.right - width;
  if (format & DT_WORDBREAK) {
    RECT lines{area.left, top, area.right, area.bottom};
    DrawTextW(look.dc, look.text.c_str(), -1, &lines, format);
  } else {
    DrawTextW(look.dc, look.text.c_str(), -1, &area, format);
  }
  return RECT{left, top, left + width, top + height};
}

void DrawImage(const Look& look, const RECT& face) {
  const GdiObject* object = GdiObjects::get().lookup(look.state.image);
  if (!object) return;
  const int size = (look.style & BS_ICON) ? GetSystemMetrics(SM_CXICON) : 0;
  if (look.style & BS_ICON) {
    DrawIconEx(look.dc, face.left + (face.right - face.left - size) / 2, face.top + (face.bottom - face.top - size) / 2,
               static_cast<HICON>(look.state.image), 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  const BitmapData* bitmap = object->as<BitmapData>();
  if (!bitmap || !bitmap->pixels) return;
  DrawBitmapAt(look.dc, static_cast<HBITMAP>(look.state.image),
               POINT{face.left + (face.right - face.left - bitmap->pixels->width()) / 2,
                     face.top + (face.bottom - face.top - bitmap->pixels->height()) / 2});
}

void DrawPushButton(const Look& look) {
  const int s = Scaled(1);
  const bool down = look.state.pushed;
  const bool isDefault = ButtonType(look.style) == BS_DEFPUSHBUTTON;
  FillWithSysColor(look.dc, look.client, down ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  OutlineRect(look.dc, look.client, GetSysColorBrush(COLOR_WINDOWFRAME), (isDefault ? 2 : 1) * s);
  RECT face = look.client;
  InflateRect(&face, -3 * s, -3 * s);
  // The label may use the face up to the outline; the focus mark sits inside it.
  RECT labelArea = look.client;
  InflateRect(&labelArea, -2 * s, -2 * s);
  if (look.style & (BS_ICON | BS_BITMAP)) {
    DrawImage(look, face);
  } else {
    SetTextColor(look.dc, GetSysColor(down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    DrawLabel(look, labelArea, LabelFormat(look.style, DT_CENTER));
  }
  if (look.state.focused && !down) DrawFocusRect(look.dc, &face);
}

void DrawMark(const Look& look, const RECT& box) {
  const UINT type = ButtonType(look.style);
  const bool radio = IsRadioType(type);
  const COLORREF ink = GetSysColor(look.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
  HBRUSH face = GetSysColorBrush(look.state.pushed || !look.enabled ? COLOR_BTNFACE : COLOR_WINDOW);
  if (radio) {
    // A ring as thick as other lines on this screen, round the face.
    const int s = Scaled(1);
    HGDIOBJ pen = SelectObject(look.dc, GetStockObject(NULL_PEN));
    HGDIOBJ brush = SelectObject(look.dc, GetSysColorBrush(COLOR_WINDOWFRAME));
    Ellipse(look.dc, box.left, box.top, box.right + 1, box.bottom + 1);
    SelectObject(look.dc, face);
    Ellipse(look.dc, box.left + s, box.top + s, box.right + 1 - s, box.bottom + 1 - s);
    SelectObject(look.dc, brush);
    SelectObject(look.dc, pen);
  } else {
    FillRect(look.dc, &box, face);
    OutlineRect(look.dc, box, GetSysColorBrush(COLOR_WINDOWFRAME), Scaled(1));
  }
  if (look.state.check == BST_UNCHECKED) return;
  const COLORREF mark = look.state.check == BST_INDETERMINATE ? GetSysColor(COLOR_GRAYTEXT) : ink;
  (radio ? DrawDot : DrawTick)(look.dc, box, mark);
}

void DrawCheckButton(const Look& look) {
  const int box = Scaled(kBoxSize);
  const LONG top = look.client.top + (look.client.bottom - look.client.top - box) / 2;
  RECT mark{look.client.left, top, look.client.left + box, top + box};
  DrawMark(look, mark);
  RECT area{mark.right + Scaled(kLabelGap), look.client.top, look.client.right, look.client.bottom};
  RECT label = DrawLabel(look, area, LabelFormat(look.style, DT_LEFT));
  if (look.state.focused) {
    InflateRect(&label, Scaled(1), 0);
    label.top = std::max(label.top, look.client.top);
    label.bottom = std::min(label.bottom, look.client.bottom);
    DrawFocusRect(look.dc, &label);
  }
}

void DrawGroupBox(const Look& look) {
  const int s = Scaled(1);
  const int line = SystemLineHeight();
  RECT frame{look.client.left, look.client.top + line / 2, look.client.right, look.client.bottom};
  OutlineRect(look.dc, frame, GetSysColorBrush(COLOR_BTNSHADOW), s);
  if (look.text.empty()) return;
  RECT label{look.client.left + 6 * s, look.client.top, look.client.right - 6 * s, look.client.top + line};
  RECT measured = label;
  DrawTextW(look.dc, look.text.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
  measured.right = std::min(measured.right + 2 * s, label.right);
  measured.left -= 2 * s;
  FillRect(look.dc, &measured, reinterpret_cast<HBRUSH>(GetCurrentObject(look.dc, OBJ_BRUSH)));
  DrawLabel(look, label, DT_SINGLELINE | DT_LEFT | DT_END_ELLIPSIS);
}

}  // namespace

void PaintButton(HWND hwnd, const ButtonState& state) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return;
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  Look look{hwnd, dc, {}, window->style, state, WindowSystem::get().enabled(*window), window->text};
  GetClientRect(hwnd, &look.client);
  HBRUSH background = ControlBrush(hwnd, dc, WM_CTLCOLORBTN);
  const UINT type = ButtonType(look.style);
  if (!IsPushType(type)) FillRect(dc, &look.client, background);
  HGDIOBJ oldBrush = SelectObject(dc, background);
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  if (IsPushType(type) || (look.style & BS_PUSHLIKE))
    DrawPushButton(look);
  else if (type == BS_GROUPBOX)
    DrawGroupBox(look);
  else if (type != BS_OWNERDRAW)
    DrawCheckButton(look);
  SelectObject(dc, font);
  SelectObject(dc, oldBrush);
  EndPaint(hwnd, &paint);
}

// A group box shows what lies inside it: only its label and frame are its own.
void ShapeGroupBox(Window& window) {
  ScreenChange change;
  if (ButtonType(window.style) != BS_GROUPBOX) {
    window.seeThrough.reset();
    return;
  }
  const int s = Scaled(1);
  window.seeThrough = RECT{s, SystemLineHeight(), s, s};
}

}  // namespace sim
