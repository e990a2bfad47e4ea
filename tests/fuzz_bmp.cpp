// libFuzzer target: any bytes at all go through the BMP decoder, which must
// neither crash, read outside them, nor leak. Built with -DTENEBREL_FUZZ=ON
// (clang). Run: fuzz_bmp -max_total_time=300 CORPUS_DIR
#include <cstdint>
#include <cstdlib>

#include "assets/bmp.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char why[bmpWhySize];
    ImageRGB* image = bmpDecode(data, size, why, sizeof why);
    if (!image) return 0;
    // The first and last bytes the loader claims to have made must be inside
    // its block (the sanitizer checks).
    const size_t last = size_t(image->width) * 3 * image->height - 1;
    [[maybe_unused]] volatile uint8_t ends = image->data[0] ^ image->data[last];
    std::free(image->data);
    std::free(image);
    return 0;
}
