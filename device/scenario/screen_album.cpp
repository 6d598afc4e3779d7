#include "scenario/screen_album.h"

#include <fstream>

#include "gdi/png.h"

namespace sim::scenario {

namespace {

namespace fs = std::filesystem;

constexpr char kPicturePrefix[] = "step-";
constexpr char kPage[] = "index.html";

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return "";
  std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// "step-007.png": numbered from 1, at least three digits so the names sort.
std::string PictureName(std::size_t number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return kPicturePrefix + digits + ".png";
}

bool IsOurs(const fs::path& file) {
  std::string name = file.filename().string();
  return name == kPage || (name.starts_with(kPicturePrefix) && file.extension() == ".png");
}

constexpr char kStyle[] = R"(<style>
body { font-family: sans-serif; margin: 1.5em; color: #222; }
.note { color: #555; margin: 1.2em 0 0.4em; white-space: pre-wrap; }
.step { display: flex; gap: 1.2em; align-items: flex-start; margin: 0.4em 0; }
.step code { display: block; min-width: 24em; max-width: 36em; white-space: pre-wrap; }
.step img { border: 1px solid #888; image-rendering: pixelated; }
.line { color: #888; }
.failed { color: #b00; }
.verdict { margin-top: 1.5em; font-weight: bold; }
</style>
)";

}  // namespace

StepAlbum::StepAlbum(fs::path folder, std::string title, std::vector<std::string> lines)
    : folder_(std::move(folder)), title_(std::move(title)), lines_(std::move(lines)) {}

std::optional<std::string> StepAlbum::open() {
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error || !fs::is_directory(folder_)) return "cannot make the folder " + folder_.string() + " for the screens";
  for (const auto& entry : fs::directory_iterator(folder_, error))
    if (entry.is_regular_file() && IsOurs(entry.path())) fs::remove(entry.path(), error);
  return std::nullopt;
}

std::optional<std::string> StepAlbum::keep(const Step& step, const PixelBuffer& screen,
                                           const std::optional<std::string>& problem) {
  Page page{step.line, PictureName(pages_.size() + 1), problem};
  std::string why;
  if (!WritePng(screen, folder_ / page.picture, &why)) return "cannot write the screen of line " +
                                                               std::to_string(step.line) + ": " + why;
  width_ = screen.width();
  height_ = screen.height();
  pages_.push_back(std::move(page));
  return std::nullopt;
}

std::optional<std::string> StepAlbum::finish(const std::string& verdict) {
  std::ofstream out(folder_ / kPage, std::ios::binary | std::ios::trunc);
  out << html(verdict);
  if (out.good()) return std::nullopt;
  return "cannot write " + (folder_ / kPage).string();
}

// The script's comments from `nextLine` up to `line`, as one note; `nextLine`
// moves past the step.
std::string StepAlbum::notesBefore(int line, int& nextLine) const {
  std::string note;
  for (; nextLine < line && nextLine <= static_cast<int>(lines_.size()); ++nextLine) {
    std::string text = Trimmed(lines_[nextLine - 1]);
    if (!text.starts_with('#')) continue;
    text = Trimmed(text.substr(1));
    note += (note.empty() ? "" : "\n") + text;
  }
  nextLine = line + 1;
  return note;
}

std::string StepAlbum::html(const std::string& verdict) const {
  std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                    Escaped(title_) + "</title>\n" + kStyle + "</head>\n<body>\n<h1>" + Escaped(title_) + "</h1>\n";
  int nextLine = 1;
  for (const Page& page : pages_) {
    std::string note = notesBefore(page.line, nextLine);
    if (!note.empty()) out += "<p class=\"note\">" + Escaped(note) + "</p>\n";
    std::string text = page.line <= static_cast<int>(lines_.size()) ? Trimmed(lines_[page.line - 1]) : "";
    out += "<div class=\"step\" id=\"line-" + std::to_string(page.line) + "\"><code><span class=\"line\">" +
           std::to_string(page.line) + "</span>  " + Escaped(text);
    if (page.problem) out += "\n<span class=\"failed\">" + Escaped(*page.problem) + "</span>";
    out += "</code><img src=\"" + page.picture + "\" width=\"" + std::to_string(width_) + "\" height=\"" +
           std::to_string(height_) + "\" alt=\"the screen after line " + std::to_string(page.line) + "\"></div>\n";
  }
  out += "<p class=\"verdict\">" + Escaped(verdict) + "</p>\n</body>\n</html>\n";
  return out;
}

}  // namespace sim::scenario
