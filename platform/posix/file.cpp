// Read-only file mapping over POSIX: open, fstat, mmap.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/platform.h"

namespace {

void fileClear(PlatformMappedFile* file) {
    file->data = nullptr;
    file->size = 0;
    file->handle = -1;
}

}  // namespace

int platformFileMap(const char* fileName, PlatformMappedFile* file) {
    if (!file) return 0;
    fileClear(file);
    if (!fileName || !fileName[0]) return 0;

    // O_NONBLOCK: a name that turns out to be a FIFO or a device must not hang
    // the program while it waits for a writer; only regular files are mapped.
    int fd;
    do {
        fd = open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return 0;

    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        static_cast<uintmax_t>(info.st_size) > SIZE_MAX) {
        close(fd);
        return 0;
    }
    size_t size = static_cast<size_t>(info.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        return 0;
    }
    file->data = static_cast<const uint8_t*>(view);
    file->size = size;
    file->handle = fd;
    return 1;
}

void platformFileUnmap(PlatformMappedFile* file) {
    if (!file) return;
    if (file->data) munmap(const_cast<uint8_t*>(file->data), file->size);
    if (file->handle >= 0) close(static_cast<int>(file->handle));
    fileClear(file);
}
