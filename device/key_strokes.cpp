#include "key_strokes.h"

#include "user/input.h"

#include <string>

namespace sim {

namespace {

std::optional<BYTE> NamedKey(std::string_view name) {
  if (name == "delete") return VK_DELETE;
  if (name == "enter") return VK_RETURN;
  if (name == "escape") return VK_ESCAPE;
  if (name == "tab") return VK_TAB;
  if (name == "space") return VK_SPACE;
  if (name == "backspace") return VK_BACK;
  if (name == "up") return VK_UP;
  if (name == "down") return VK_DOWN;
  if (name == "left") return VK_LEFT;
  if (name == "right") return VK_RIGHT;
  if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
    return static_cast<BYTE>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
  return std::nullopt;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

}  // namespace

std::optional<KeyStroke> ParseKeyStroke(std::string_view name) {
  const std::string word = Lower(name);
  if (word == "ctrl-down") return KeyStroke{KeyStroke::Kind::ControlDown};
  if (word == "ctrl-up") return KeyStroke{KeyStroke::Kind::ControlUp};
  constexpr std::string_view kControl = "ctrl+";
  const bool withControl = word.starts_with(kControl);
  auto key = NamedKey(withControl ? std::string_view(word).substr(kControl.size()) : std::string_view(word));
  if (!key) return std::nullopt;
  return KeyStroke{KeyStroke::Kind::Press, *key, withControl};
}

void SendKeyStroke(const KeyStroke& stroke) {
  Input& input = Input::get();
  switch (stroke.kind) {
    case KeyStroke::Kind::ControlDown: input.key(VK_CONTROL, false); break;
    case KeyStroke::Kind::ControlUp: input.key(VK_CONTROL, true); break;
    case KeyStroke::Kind::Press:
      if (stroke.withControl) input.key(VK_CONTROL, false);
      input.key(stroke.key, false);
      input.key(stroke.key, true);
      if (stroke.withControl) input.key(VK_CONTROL, true);
      break;
  }
}

}  // namespace sim
