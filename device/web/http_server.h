// `handheld serve`: one handheld and the page that shows it, over HTTP.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "handheld.h"

namespace sim::web {

struct ServeOptions {
  std::string host = "127.0.0.1";
  int port = 8340;  // 0: any free port
  std::filesystem::path page;  // the folder of the page's files
  HandheldOptions handheld;
};

// Serves until SIGINT or SIGTERM; the exit code of the command.
int Serve(const ServeOptions& options);

}  // namespace sim::web
