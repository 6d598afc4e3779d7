// Just enough JSON to answer the page: strings escaped, values put together by the
// caller.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim::web {

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);
std::string JsonStrings(const std::vector<std::string>& texts);
std::string Base64(std::string_view bytes);

}  // namespace sim::web
