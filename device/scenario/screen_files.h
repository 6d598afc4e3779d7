// Where a scenario's pictures of the screen come from and go: golden images beside
// the script, screenshots and the pictures of a failed comparison in the folder the
// run writes to. A session without host files (the web page's, whose scripts come
// from whoever uses the page) reads and writes no picture.
#pragma once

#include <filesystem>

namespace sim::scenario {

struct ScreenFiles {
  bool hostFiles = false;
  std::filesystem::path scriptFolder;  // golden images are found from here
  std::filesystem::path outputFolder;  // screenshots and failed comparisons; "" is the current folder
  bool updateGolden = false;           // rewrite golden images that differ or are missing
};

}  // namespace sim::scenario
