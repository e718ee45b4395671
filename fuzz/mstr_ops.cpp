// SPDX-License-Identifier: Apache-2.0
// Drives mvc::MStr operations from fuzz input beside a std::string model and
// stops at the first disagreement (ASan and UBSan catch the rest).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/support/mstr_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem = hxtest::MStrModel().run(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "MStr disagrees with the model: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
