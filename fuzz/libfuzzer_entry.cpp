// The libFuzzer entry of one fuzz target, chosen when it is compiled
// (FUZZ_TARGET=RunClipboardBlock, ...): a finding is printed and aborts, so that
// the fuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (auto finding = fuzz::FUZZ_TARGET(std::span<const std::uint8_t>(data, size))) {
    std::fprintf(stderr, "==fuzz== %s\n", finding->c_str());
    std::abort();
  }
  return 0;
}
