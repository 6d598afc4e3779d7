// `handheld serve [--port N] [--device DIR] [--screen W H] [--host ADDRESS]`.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "web/http_server.h"

namespace sim::web {

// The options the arguments after "serve" ask for, or why they are wrong.
std::variant<ServeOptions, std::string> ParseServeArguments(const std::vector<std::string>& args);
int ServeCommand(const std::vector<std::string>& args);

}  // namespace sim::web
