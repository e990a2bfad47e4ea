// Read-only file mapping: CreateFileA, CreateFileMappingA, MapViewOfFile.
#include "platform/win32/internal.h"

namespace {

void fileClear(PlatformMappedFile* file) {
    file->data = nullptr;
    file->size = 0;
    file->handle = -1;
}

}  // namespace

int platformFileMap(const char* fileName, PlatformMappedFile* file) {
    if (file == nullptr) return 0;
    fileClear(file);
    if (fileName == nullptr || fileName[0] == '\0') return 0;

    HANDLE handle = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;

    // Only files on disk are mapped (a pipe or a device named like a file
    // has no size to map), and an empty one cannot be.
    LARGE_INTEGER size;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) ||
        size.QuadPart <= 0 || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        CloseHandle(handle);
        return 0;
    }
    HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        CloseHandle(handle);
        return 0;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    // The view keeps the mapping alive; the file stays open so that no one
    // writes to it while it is read.
    CloseHandle(mapping);
    if (view == nullptr) {
        CloseHandle(handle);
        return 0;
    }
    file->data = static_cast<const uint8_t*>(view);
    file->size = static_cast<size_t>(size.QuadPart);
    file->handle = reinterpret_cast<intptr_t>(handle);
    return 1;
}

void platformFileUnmap(PlatformMappedFile* file) {
    if (file == nullptr) return;
    if (file->data != nullptr) UnmapViewOfFile(file->data);
    if (file->handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file->handle));
    fileClear(file);
}
