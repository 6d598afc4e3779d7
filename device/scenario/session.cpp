#include "scenario/session.h"

#include <windows.h>

#include "text/utf.h"

namespace sim::scenario {

std::u16string Wide(const std::string& text) {
  auto converted = Utf8ToUtf16(text);
  return converted ? *converted : std::u16string();
}

std::string Narrow(std::u16string_view text) {
  auto converted = Utf16ToUtf8(text);
  return converted ? *converted : std::string("?");
}

std::string Quote(std::u16string_view text) { return "\"" + Narrow(text) + "\""; }

std::string QuoteAll(const std::vector<std::u16string>& texts) {
  std::string out;
  for (const auto& text : texts) out += (out.empty() ? "" : " ") + Quote(text);
  return out.empty() ? "(nothing)" : out;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && _wcsicmp(std::u16string(a).c_str(), std::u16string(b).c_str()) == 0;
}

std::u16string Arg(const Step& step, std::size_t i) { return Wide(step.args.at(i)); }

std::vector<std::u16string> Args(const Step& step, std::size_t from, std::size_t to) {
  std::vector<std::u16string> out;
  for (std::size_t i = from; i < to && i < step.args.size(); ++i) out.push_back(Wide(step.args[i]));
  return out;
}

}  // namespace sim::scenario
