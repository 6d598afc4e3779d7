// One picture of the screen after every step of a run (`handheld run FILE --screens
// DIR`), and an index.html that shows each step's line of the script beside the
// screen it left, under the script's comments that lead up to it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gdi/pixels.h"
#include "scenario/script.h"

namespace sim::scenario {

class StepAlbum {
 public:
  // `lines` are the script's lines as written; `title` heads the page.
  StepAlbum(std::filesystem::path folder, std::string title, std::vector<std::string> lines);

  // Clears the pictures and the page an earlier run left in the folder (and nothing
  // else there); the reason when the folder cannot be made.
  std::optional<std::string> open();
  // Keeps the screen after `step`; `problem` says why the step failed. The reason
  // when the picture cannot be written.
  std::optional<std::string> keep(const Step& step, const PixelBuffer& screen, const std::optional<std::string>& problem);
  // Writes index.html: every step kept, with `verdict` (the run's last words) at the end.
  std::optional<std::string> finish(const std::string& verdict);

 private:
  struct Page {
    int line;
    std::string picture;
    std::optional<std::string> problem;
  };
  std::string html(const std::string& verdict) const;
  std::string notesBefore(int line, int& nextLine) const;

  std::filesystem::path folder_;
  std::string title_;
  std::vector<std::string> lines_;
  std::vector<Page> pages_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace sim::scenario
