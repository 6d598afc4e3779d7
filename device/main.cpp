// `handheld`: runs a scenario on a simulated handheld; with no arguments, the tour;
// `handheld serve` puts the handheld in a web page.
#include <string>
#include <vector>

#include "scenario/command.h"
#include "web/serve_command.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "serve")
    return sim::web::ServeCommand(std::vector<std::string>(argv + 2, argv + argc));
  return sim::scenario::RunCommand(argc, argv);
}
