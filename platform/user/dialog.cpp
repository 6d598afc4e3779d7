// Building dialogs from templates: DialogBoxIndirectParamW,
// CreateDialogIndirectParamW, their by-name forms, and the dialog units.
#include "user/dialog.h"

#include <algorithm>
#include <span>

#include "gdi/fonts.h"
#include "kernel/faults.h"
#include "kernel/scheduler.h"
#include "user/resource_module.h"
#include "user/system_classes.h"
#include "user/window.h"

namespace sim {

namespace {

// A template given by address carries no length. When it lies inside a resource of
// the instance (the usual FindResourceW/LoadResource route) the resource's bounds
// are used; otherwise the parser may read as far as the template's own counts lead,
// no further than this.
constexpr std::size_t kUnboundedTemplateLimit = 64 * 1024;

std::span<const unsigned char> TemplateBytes(HINSTANCE instance, LPCDLGTEMPLATEW tmpl) {
  const auto* start = reinterpret_cast<const unsigned char*>(tmpl);
  if (auto index = ModuleResourceIndex(instance); index.ok()) {
    for (const auto& entry : (*index)->entries()) {
      const unsigned char* begin = entry.data.data();
      const unsigned char* end = begin + entry.data.size();
      if (start >= begin && start < end) return {start, static_cast<std::size_t>(end - start)};
    }
  }
  return {start, kUnboundedTemplateLimit};
}

constexpr const char16_t* kDialogClass = u"Dialog";

// DS_MODALFRAME gives the dialog window the extended style of its frame.
DWORD DialogExStyle(const DialogTemplate& t) {
  return t.exStyle | ((t.style & DS_MODALFRAME) ? static_cast<DWORD>(WS_EX_DLGMODALFRAME) : 0);
}

// A template sizes and places the client area; the window's frame lies around it.
RECT DialogRect(const DialogTemplate& t, const BaseUnits& base, HWND owner) {
  auto& windows = WindowSystem::get();
  RECT frame{0, 0, DialogUnitsToPixelsX(t.cx, base), DialogUnitsToPixelsY(t.cy, base)};
  AdjustWindowRectEx(&frame, t.style, FALSE, DialogExStyle(t));
  int width = static_cast<int>(frame.right - frame.left);
  int height = static_cast<int>(frame.bottom - frame.top);
  int x = DialogUnitsToPixelsX(t.x, base) + static_cast<int>(frame.left);
  int y = DialogUnitsToPixelsY(t.y, base) + static_cast<int>(frame.top);
  const bool child = (t.style & WS_CHILD) != 0;
  if (!child) {
    if (t.style & DS_CENTER) {
      RECT work = windows.workArea();
      x = static_cast<int>(work.left + (work.right - work.left - width) / 2);
      y = static_cast<int>(work.top + (work.bottom - work.top - height) / 2);
    } else if (owner && !(t.style & DS_ABSALIGN)) {
      POINT origin{0, 0};
      ClientToScreen(owner, &origin);
      x += static_cast<int>(origin.x);
      y += static_cast<int>(origin.y);
    }
    // A dialog is kept on the screen, as the device keeps it.
    x = std::clamp(x, 0, std::max(0, windows.screenWidth() - width));
    y = std::clamp(y, 0, std::max(0, windows.screenHeight() - height));
  }
  return RECT{x, y, x + width, y + height};
}

bool IsClass(const DialogItemTemplate& item, std::u16string_view name) {
  return FoldResourceCase(item.className) == FoldResourceCase(name);
}

// A STATIC of type SS_ICON or SS_BITMAP names its image in its title: the image is
// loaded from the dialog's module.
void LoadStaticImage(HWND control, const DialogItemTemplate& item, HINSTANCE instance) {
  if (!IsClass(item, u"STATIC") || item.title.empty()) return;
  LPCWSTR name = item.title.isOrdinal() ? MAKEINTRESOURCEW(*item.title.ordinal) : item.title.text.c_str();
  DWORD type = item.style & SS_TYPEMASK;
  if (type == SS_ICON) {
    if (HICON icon = LoadIconW(instance, name)) SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  } else if (type == SS_BITMAP) {
    if (HANDLE bitmap = LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_SHARED))
      SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  }
}

bool CreateControls(HWND dialog, const DialogTemplate& t, HINSTANCE instance, const BaseUnits& base) {
  for (const auto& item : t.items) {
    const bool imageTitle = item.title.isOrdinal() ||
                            (IsClass(item, u"STATIC") && ((item.style & SS_TYPEMASK) == SS_ICON ||
                                                          (item.style & SS_TYPEMASK) == SS_BITMAP));
    LPCWSTR text = imageTitle ? nullptr : item.title.text.c_str();
    int id = t.extended ? static_cast<int>(item.id) : static_cast<int>(item.id & 0xFFFF);
    const void* creationData = item.creationData.empty() ? nullptr : item.creationData.data();
    HWND control = CreateWindowExW(
        item.exStyle, item.className.c_str(), text, item.style | WS_CHILD, DialogUnitsToPixelsX(item.x, base),
        DialogUnitsToPixelsY(item.y, base), DialogUnitsToPixelsX(item.cx, base), DialogUnitsToPixelsY(item.cy, base),
        dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, const_cast<void*>(creationData));
    if (!control) {
      if (t.style & DS_NOFAILCREATE) continue;
      return false;
    }
    LoadStaticImage(control, item, instance);
    DialogState* state = FindDialogState(dialog);
    if (state && !state->defaultId && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
      state->defaultId = id;
  }
  return true;
}

// After WM_INITDIALOG: TRUE asks for the default control (see DefaultFocusControl,
// judged after the procedure ran, so a control it disabled is passed over); FALSE
// leaves the focus wherever the procedure put it, or nowhere. A child dialog that is
// not visible takes no focus: its control waits for the dialog's WM_SETFOCUS.
void SetInitialFocus(HWND dialog, const DialogTemplate& t, bool systemFocus) {
  DialogState* state = FindDialogState(dialog);
  if (!state || state->ended) return;
  if (!systemFocus) {
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus)) state->savedFocus = focus;
    return;
  }
  HWND target = DefaultFocusControl(dialog);
  if (!target) return;
  if ((t.style & WS_CHILD) && !(t.style & WS_VISIBLE)) {
    state->savedFocus = target;
    return;
  }
  FocusControl(target);
}

// The dialog window and the dialog manager's record of it, hidden; null when the
// window cannot be made.
HWND CreateDialogWindow(const DialogTemplate& t, HINSTANCE instance, HWND owner, const BaseUnits& base) {
  std::u16string className = t.windowClass.empty() || t.windowClass.isOrdinal() ? std::u16string(kDialogClass)
                                                                                 : t.windowClass.text;
  RECT rect = DialogRect(t, base, owner);
  HMENU menu = nullptr;
  if (!t.menu.empty() && !(t.style & WS_CHILD))
    menu = LoadMenuW(instance, t.menu.isOrdinal() ? MAKEINTRESOURCEW(*t.menu.ordinal) : t.menu.text.c_str());
  DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
  HWND dialog = CreateWindowExW(DialogExStyle(t), className.c_str(), t.caption.c_str(), style, static_cast<int>(rect.left),
                                static_cast<int>(rect.top), static_cast<int>(rect.right - rect.left),
                                static_cast<int>(rect.bottom - rect.top), owner, menu, instance, nullptr);
  Window* window = WindowSystem::get().find(dialog);
  if (!window) {
    if (menu) DestroyMenu(menu);
    return nullptr;
  }
  DialogState& state = window->state<DialogState>();
  state.baseUnitX = base.x;
  state.baseUnitY = base.y;
  state.setForeground = (t.style & DS_SETFOREGROUND) != 0;
  return dialog;
}

}  // namespace

BaseUnits DialogFontBaseUnits(int pointSize) {
  // The "System" font's average character, measured from the glyphs the screen draws
  // with: 6 x 12 pixels at 9 points on a 240 x 320 screen (a 160-unit-wide dialog
  // fills the screen's width), 12 x 24 on a VGA screen.
  SIZE average = DialogFontAverageSize(pointSize);
  return BaseUnits{std::max(1, static_cast<int>(average.cx)), std::max(1, static_cast<int>(average.cy))};
}

DialogState* FindDialogState(HWND dialog) {
  Window* window = WindowSystem::get().find(dialog);
  return window ? window->findState<DialogState>() : nullptr;
}

HWND ModalOwner(HWND owner) {
  Window* window = WindowSystem::get().find(owner);
  return window ? TopLevelOf(*window).handle : nullptr;
}

HWND CreateDialogFromTemplate(const DialogTemplate& t, HINSTANCE instance, HWND owner, DLGPROC proc, LPARAM param,
                              bool modal) {
  BaseUnits base = DialogFontBaseUnits(t.pointSize ? *t.pointSize : 9);
  HWND disabledOwner = nullptr;
  if (modal) {
    owner = ModalOwner(owner);
    if (owner && IsWindowEnabled(owner)) {
      EnableWindow(owner, FALSE);
      disabledOwner = owner;
    }
  }
  auto undoOwner = [&] {
    if (disabledOwner && IsWindow(disabledOwner)) EnableWindow(disabledOwner, TRUE);
  };
  HWND dialog = CreateDialogWindow(t, instance, owner, base);
  Window* window = WindowSystem::get().find(dialog);
  if (!window) {
    undoOwner();
    return nullptr;
  }
  DialogState& state = window->state<DialogState>();
  state.modal = modal;
  state.disabledOwner = disabledOwner;
  window->extra[DWL_DLGPROC] = reinterpret_cast<LONG>(proc);
  RecordProcedureOwner(*window, reinterpret_cast<const void*>(proc));
  if (!CreateControls(dialog, t, instance, base)) {
    if (DialogState* live = FindDialogState(dialog)) live->disabledOwner = nullptr;
    DestroyWindow(dialog);
    undoOwner();
    return nullptr;
  }
  HWND focusParam = DefaultFocusControl(dialog);
  LRESULT systemFocus = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focusParam), param);
  if (!FindDialogState(dialog)) {
    undoOwner();
    return nullptr;
  }
  SetInitialFocus(dialog, t, systemFocus != FALSE);
  if (!FindDialogState(dialog)) return nullptr;
  // A modal dialog is shown by its loop; a modeless one now, if its template asks.
  if (!modal && (t.style & WS_VISIBLE)) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    if (t.style & DS_SETFOREGROUND) SetForegroundWindow(dialog);
  }
  return dialog;
}

}  // namespace sim

namespace {

using sim::DialogTemplate;

std::optional<DialogTemplate> ParseTemplate(HINSTANCE instance, LPCDLGTEMPLATEW tmpl) {
  if (!tmpl) return sim::Fail(ERROR_INVALID_PARAMETER, std::optional<DialogTemplate>());
  auto parsed = sim::ParseDialogTemplate(sim::TemplateBytes(instance, tmpl));
  if (!parsed) return sim::Fail(ERROR_INVALID_DATA, std::optional<DialogTemplate>());
  return std::move(parsed).value();
}

std::optional<DialogTemplate> LoadTemplate(HINSTANCE instance, LPCWSTR name) {
  const sim::ResourceEntry* entry = sim::FindModuleResource(instance, RT_DIALOG, name);
  if (!entry) return std::nullopt;
  auto parsed = sim::ParseDialogTemplate(entry->data);
  if (!parsed) return sim::Fail(ERROR_INVALID_DATA, std::optional<DialogTemplate>());
  return std::move(parsed).value();
}

// An owner that is not a live window fails the call before anything is made; the
// device answers -1 (not the desktop's 0) with ERROR_INVALID_WINDOW_HANDLE.
bool OwnerUsable(HWND owner, const char* operation) {
  return !owner || sim::WindowSystem::get().checked(owner, operation) != nullptr;
}

INT_PTR RunDialogBox(const std::optional<DialogTemplate>& t, HINSTANCE instance, HWND owner, DLGPROC proc,
                     LPARAM param) {
  if (!t || !sim::Scheduler::current()) return -1;
  HWND dialog = sim::CreateDialogFromTemplate(*t, instance, owner, proc, param, true);
  if (!dialog) return -1;
  return sim::RunModalDialog(dialog);
}

}  // namespace

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW tmpl, HWND owner, DLGPROC proc, LPARAM param) {
  if (sim::FailsByInjection("DialogBoxIndirectParamW")) return -1;
  if (!OwnerUsable(owner, "DialogBoxIndirectParamW")) return -1;
  return RunDialogBox(ParseTemplate(instance, tmpl), instance, owner, proc, param);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  if (!OwnerUsable(owner, "DialogBoxParamW")) return -1;
  return RunDialogBox(LoadTemplate(instance, name), instance, owner, proc, param);
}

HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW tmpl, HWND owner, DLGPROC proc, LPARAM param) {
  if (!OwnerUsable(owner, "CreateDialogIndirectParamW")) return nullptr;
  auto t = ParseTemplate(instance, tmpl);
  return t ? sim::CreateDialogFromTemplate(*t, instance, owner, proc, param, false) : nullptr;
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  if (!OwnerUsable(owner, "CreateDialogParamW")) return nullptr;
  auto t = LoadTemplate(instance, name);
  return t ? sim::CreateDialogFromTemplate(*t, instance, owner, proc, param, false) : nullptr;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (!sim::WindowSystem::get().checked(dialog, "MapDialogRect")) return FALSE;
  sim::DialogState* state = sim::FindDialogState(dialog);
  if (!state || !rect) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::BaseUnits base{state->baseUnitX, state->baseUnitY};
  rect->left = sim::DialogUnitsToPixelsX(static_cast<int>(rect->left), base);
  rect->right = sim::DialogUnitsToPixelsX(static_cast<int>(rect->right), base);
  rect->top = sim::DialogUnitsToPixelsY(static_cast<int>(rect->top), base);
  rect->bottom = sim::DialogUnitsToPixelsY(static_cast<int>(rect->bottom), base);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  sim::BaseUnits base = sim::DialogFontBaseUnits(9);
  return MAKELONG(base.x, base.y);
}
