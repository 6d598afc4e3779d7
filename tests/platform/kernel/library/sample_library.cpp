#include "sample_library.h"

#include <memory>

std::vector<sim::ImageExport> sample_library_exports();
std::vector<std::span<std::byte>> sample_library_image_data();

namespace {

struct Globals {
  int attached = 0;
};
// The library's globals, made by its start-up hook and destroyed by its clean-up hook.
std::unique_ptr<Globals> globals;
int calls;

}  // namespace

int SampleAdd(int a, int b) { return a + b; }

const WCHAR* SampleName() { return u"sample"; }

int SampleAttachedProcesses() { return globals ? globals->attached : -1; }

int SampleCount() { return ++calls; }

sim::ProgramImage SampleLibraryImage(std::u16string path, std::vector<std::string>& log) {
  sim::ProgramImage image;
  image.path = std::move(path);
  image.kind = sim::ProgramImage::Kind::Library;
  image.exports = sample_library_exports();
  image.data = sample_library_image_data();
  image.startup = [] { globals = std::make_unique<Globals>(); };
  image.cleanup = [] { globals.reset(); };
  image.attach = [&log](HINSTANCE, DWORD reason, LPVOID reserved) -> BOOL {
    const std::string process = std::to_string(GetCurrentProcessId());
    if (reason == DLL_PROCESS_ATTACH) {
      ++globals->attached;
      log.push_back("attach " + process);
    } else if (reason == DLL_PROCESS_DETACH) {
      --globals->attached;
      log.push_back("detach " + process + (reserved ? " ending" : " freed"));
    }
    return TRUE;
  };
  return image;
}
