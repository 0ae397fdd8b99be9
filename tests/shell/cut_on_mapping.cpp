// Stands in for mmap in a program a test starts (LD_PRELOAD): the first
// mapping of the file whose path ends in $KESP_CUT_FILE is followed at once,
// before anything is read through it, by a child process cutting that file
// to $KESP_CUT_TO bytes, as another program cutting a table short during a
// search would. Every mapping is made by the system's own mmap.
#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool cut = false;

bool MapsTheFile(int descriptor, const char* ending, char* path, std::size_t room) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
    const ssize_t length = readlink(link, path, room - 1);
    if (length < 0) return false;
    path[length] = '\0';
    const std::size_t wanted = std::strlen(ending);
    return static_cast<std::size_t>(length) >= wanted &&
           std::strcmp(path + length - wanted, ending) == 0;
}

}  // namespace

extern "C" void* mmap(void* address, size_t length, int protection, int flags, int descriptor,
                      off_t offset) noexcept {
    using Mmap = void* (*)(void*, size_t, int, int, int, off_t);
    static const auto system = reinterpret_cast<Mmap>(dlsym(RTLD_NEXT, "mmap"));
    void* mapped = system(address, length, protection, flags, descriptor, offset);
    const char* ending = std::getenv("KESP_CUT_FILE");
    const char* to = std::getenv("KESP_CUT_TO");
    char path[4096];
    if (mapped == MAP_FAILED || cut || descriptor < 0 || ending == nullptr || to == nullptr ||
        !MapsTheFile(descriptor, ending, path, sizeof path)) {
        return mapped;
    }
    cut = true;
    const pid_t child = fork();
    if (child == 0) _exit(truncate(path, std::atoll(to)) == 0 ? 0 : 1);
    if (child > 0) waitpid(child, nullptr, 0);
    return mapped;
}
