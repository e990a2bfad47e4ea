// How fast our BMP loader reads large files, next to SDL's own loader.
//
//   bench_bmp [REPETITIONS]
//
// Writes two 4096 x 4096 files into a fresh temporary folder (removed at the
// end): one 24-bit uncompressed, one 8-bit run-length encoded (RLE8) with
// both encoded runs and absolute stretches, as a real encoder makes them
// from a picture with flat areas and detailed ones. Each file is loaded
// REPETITIONS times (default 7) by bmpLoad and by SDL (SDL_LoadBMP, then
// converted to 24-bit RGB and copied out tightly packed, which is the
// picture bmpLoad hands over); the medians and their ratio are printed.
// The two pictures are compared too: a benchmark of loaders that disagree
// would compare nothing, so a difference is reported and ends with status 1.
// Nothing here fails on a slow machine: it prints figures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "assets/bmp.h"
#include "platform/sdl/bench_reference.h"
#include "tools/bmp_write.h"

namespace {

using Clock = std::chrono::steady_clock;

const int side = 4096;
const int maxRepetitions = 1000;

// A 24-bit picture: smooth colour gradients with some grain.
std::vector<uint8_t> makeRgb24File() {
    BmpWriteParts parts;
    parts.width = side;
    parts.height = side;
    parts.pixels.resize(static_cast<size_t>(side) * side * 3);  // rows need no padding
    std::mt19937 random(24);
    uint8_t* p = parts.pixels.data();
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t grain = random() & 15u;
            *p++ = static_cast<uint8_t>((x >> 4) + grain);        // blue
            *p++ = static_cast<uint8_t>((y >> 4) + grain);        // green
            *p++ = static_cast<uint8_t>(((x + y) >> 5) ^ grain);  // red
        }
    }
    return bmpWrite(parts);
}

// One row of 8-bit indexes, encoded as a usual encoder would: three or more
// equal indexes become a run, other stretches of three or more an absolute
// stretch (padded to an even length), and leftovers of one or two single
// runs.
void encodeRle8Row(const uint8_t* row, int width, std::vector<uint8_t>* out) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 3) {
            out->push_back(static_cast<uint8_t>(run));
            out->push_back(row[x]);
            x += run;
            continue;
        }
        // A literal stretch up to the next run of three.
        int end = x;
        while (end < width && end - x < 255) {
            if (end + 2 < width && row[end] == row[end + 1] && row[end] == row[end + 2]) break;
            ++end;
        }
        const int length = end - x;
        if (length >= 3) {
            out->push_back(0);
            out->push_back(static_cast<uint8_t>(length));
            out->insert(out->end(), row + x, row + end);
            if (length & 1) out->push_back(0);
        } else {
            for (int i = 0; i < length; ++i) {
                out->push_back(1);
                out->push_back(row[x + i]);
            }
        }
        x = end;
    }
    out->push_back(0);
    out->push_back(0);  // end of line
}

// An 8-bit RLE picture: each row alternates flat stretches (sky, walls) with
// detailed ones (foliage, text), with the lengths of both drawn at random.
std::vector<uint8_t> makeRle8File(double* runShare) {
    std::mt19937 random(8);
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> row(side);
    for (int y = 0; y < side; ++y) {
        int x = 0;
        bool flat = (random() & 1u) != 0;
        while (x < side) {
            const int length =
                flat ? 16 + static_cast<int>(random() % 300) : 3 + static_cast<int>(random() % 100);
            const uint8_t base = static_cast<uint8_t>(random());
            for (int i = 0; i < length && x < side; ++i, ++x) {
                row[x] = flat ? base : static_cast<uint8_t>(base + (random() % 24));
            }
            flat = !flat;
        }
        encodeRle8Row(row.data(), side, &pixels);
    }
    pixels.push_back(0);
    pixels.push_back(1);  // end of bitmap

    size_t runs = 0, absolutes = 0;
    for (size_t i = 0; i + 1 < pixels.size();) {
        if (pixels[i] > 0) {
            ++runs;
            i += 2;
        } else if (pixels[i + 1] >= 3) {
            ++absolutes;
            const size_t n = pixels[i + 1];
            i += 2 + n + (n & 1);
        } else {
            i += 2;
        }
    }
    *runShare = static_cast<double>(runs) / static_cast<double>(runs + absolutes);

    BmpWriteParts parts;
    parts.width = side;
    parts.height = side;
    parts.bitCount = 8;
    parts.compression = 1;
    parts.clrUsed = 256;
    for (uint32_t i = 0; i < 256; ++i)
        parts.palette.push_back(i << 16 | (255 - i) << 8 | ((i * 7) & 0xFFu));
    parts.pixels = std::move(pixels);
    return bmpWrite(parts);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Result {
    double oursMs = 0.0;
    double sdlMs = 0.0;
    bool same = false;
};

// Both loaders on one file; false when either cannot read it.
bool measure(const std::filesystem::path& path, int repetitions, Result* result) {
    std::vector<double> ours, sdl;
    ImageRGB* image = nullptr;
    for (int i = 0; i < repetitions; ++i) {
        if (image) {
            std::free(image->data);
            std::free(image);
        }
        const Clock::time_point start = Clock::now();
        char why[bmpWhySize];
        image = bmpLoad(path.c_str(), why, sizeof why);
        ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!image) {
            std::fprintf(stderr, "bench_bmp: bmpLoad could not read %s: %s\n", path.c_str(), why);
            return false;
        }
    }
    int width = 0, height = 0;
    std::vector<uint8_t> reference;
    for (int i = 0; i < repetitions; ++i) {
        std::string error;
        const Clock::time_point start = Clock::now();
        const bool loaded =
            platformBenchLoadBmpReference(path.c_str(), &width, &height, &reference, &error);
        sdl.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!loaded) {
            std::fprintf(stderr, "bench_bmp: SDL could not read %s: %s\n", path.c_str(),
                         error.c_str());
            std::free(image->data);
            std::free(image);
            return false;
        }
    }

    // Ours keeps the file's row order (bottom row first); SDL's is top first.
    bool same = image->width == width && image->height == height;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; same && y < height; ++y) {
        const uint8_t* a = image->data + rowBytes * static_cast<size_t>(height - 1 - y);
        const uint8_t* b = reference.data() + rowBytes * static_cast<size_t>(y);
        if (std::memcmp(a, b, rowBytes) != 0) {
            std::fprintf(stderr, "bench_bmp: %s: the pictures differ from row %d (top first)\n",
                         path.filename().c_str(), y);
            same = false;
        }
    }
    std::free(image->data);
    std::free(image);
    result->oursMs = median(ours);
    result->sdlMs = median(sdl);
    result->same = same;
    return true;
}

// A folder of our own under the system's temporary folder.
bool makeScratchFolder(std::filesystem::path* folder) {
    std::random_device seed;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::error_code error;
        const std::filesystem::path candidate = std::filesystem::temp_directory_path(error) /
                                                ("tenebrel-bench-bmp-" + std::to_string(seed()));
        if (error) return false;
        if (std::filesystem::create_directory(candidate, error)) {
            *folder = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int repetitions = 7;
    if (argc > 2) {
        std::fprintf(stderr, "usage: bench_bmp [REPETITIONS]\n");
        return 2;
    }
    if (argc == 2) {
        char* end = nullptr;
        const long value = std::strtol(argv[1], &end, 10);
        if (end == argv[1] || *end != '\0' || value < 1 || value > maxRepetitions) {
            std::fprintf(stderr, "usage: bench_bmp [REPETITIONS]  (1 to %d, default 7)\n",
                         maxRepetitions);
            return 2;
        }
        repetitions = static_cast<int>(value);
    }

    std::filesystem::path folder;
    if (!makeScratchFolder(&folder)) {
        std::fprintf(stderr, "bench_bmp: cannot make a temporary folder\n");
        return 1;
    }
    double runShare = 0.0;
    const std::filesystem::path rgbPath = folder / "rgb24.bmp";
    const std::filesystem::path rlePath = folder / "rle8.bmp";
    const std::vector<uint8_t> rgbFile = makeRgb24File();
    const std::vector<uint8_t> rleFile = makeRle8File(&runShare);
    int status = 0;
    if (!bmpWriteFile(rgbPath, rgbFile) || !bmpWriteFile(rlePath, rleFile)) {
        std::fprintf(stderr, "bench_bmp: cannot write the test files into %s\n", folder.c_str());
        status = 1;
    }

    struct Case {
        const char* name;
        const std::filesystem::path* path;
        size_t bytes;
    } cases[] = {{"4096x4096 24-bit", &rgbPath, rgbFile.size()},
                 {"4096x4096 8-bit RLE8", &rlePath, rleFile.size()}};
    if (status == 0) {
        std::printf(
            "median of %d loads each; RLE8 file: %.0f %% of its codes are runs, the "
            "rest absolute stretches\n",
            repetitions, 100.0 * runShare);
        std::printf("%-22s %10s %12s %12s %14s %s\n", "file", "size MB", "bmpLoad ms", "SDL ms",
                    "bmpLoad/SDL", "same picture");
        for (const Case& c : cases) {
            Result result;
            if (!measure(*c.path, repetitions, &result)) {
                status = 1;
                continue;
            }
            std::printf("%-22s %10.1f %12.2f %12.2f %14.2f %s\n", c.name,
                        static_cast<double>(c.bytes) / 1048576.0, result.oursMs, result.sdlMs,
                        result.oursMs / result.sdlMs, result.same ? "yes" : "NO");
            if (!result.same) status = 1;
        }
        std::printf("(ratio below 1: bmpLoad is faster)\n");
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return status;
}
