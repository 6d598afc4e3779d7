#include "web/serve_command.h"

#include <iostream>

#include "scenario/arguments.h"

namespace sim::web {

namespace {

constexpr int kMalformed = 2;

std::filesystem::path PageFolder() {
  std::filesystem::path local = "device/web/page";
  if (std::filesystem::exists(local / "index.html")) return local;
  return std::filesystem::path(HANDHELD_SOURCE_DIR) / "device" / "web" / "page";
}

std::optional<int> ScreenSide(const std::string& text) {
  auto side = scenario::ParseInteger<int>(text);
  if (!side || *side < scenario::kMinScreenSide || *side > scenario::kMaxScreenSide) return std::nullopt;
  return side;
}

}  // namespace

std::variant<ServeOptions, std::string> ParseServeArguments(const std::vector<std::string>& args) {
  ServeOptions options;
  options.page = PageFolder();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    const bool hasValue = i + 1 < args.size();
    if (name == "--port" && hasValue) {
      auto port = scenario::ParseInteger<int>(args[++i]);
      if (!port || *port > 65535) return std::string("--port takes a port number, 0 for any free one");
      options.port = *port;
    } else if (name == "--device" && hasValue) {
      options.handheld.folder = args[++i];
    } else if (name == "--host" && hasValue) {
      options.host = args[++i];
    } else if (name == "--screen" && i + 2 < args.size()) {
      auto width = ScreenSide(args[i + 1]);
      auto height = ScreenSide(args[i + 2]);
      i += 2;
      if (!width || !height) return std::string("--screen takes a width and a height of 160 to 1024 pixels");
      options.handheld.device.screenWidth = *width;
      options.handheld.device.screenHeight = *height;
    } else {
      return "unknown option " + name;
    }
  }
  return options;
}

int ServeCommand(const std::vector<std::string>& args) {
  auto parsed = ParseServeArguments(args);
  if (auto* problem = std::get_if<std::string>(&parsed)) {
    std::cerr << "handheld serve: " << *problem
              << "\nusage: handheld serve [--port N] [--device DIR] [--screen W H] [--host ADDRESS]\n";
    return kMalformed;
  }
  try {
    return Serve(std::get<ServeOptions>(parsed));
  } catch (const std::exception& error) {
    std::cerr << "handheld serve: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace sim::web
