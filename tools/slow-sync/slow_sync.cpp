// A slow disk for whatever program it is preloaded into: every fsync and fdatasync first
// sleeps ENVMETER_SYNC_DELAY_MS milliseconds (100 when unset), as an SD card, a USB stick, a
// network home folder or a disk busy with a backup may take. For trying the program on such a
// disk, and for the tests and benchmarks that must:
//
//   LD_PRELOAD=build/lib/libenvmeter-slow-sync.so ENVMETER_SYNC_DELAY_MS=50 build/bin/envmeter

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

void waitAsASlowDiskDoes() {
    static const long delayMs = [] {
        const char *set = std::getenv("ENVMETER_SYNC_DELAY_MS");
        return set ? std::atol(set) : 100L;
    }();
    timespec left{delayMs / 1000, (delayMs % 1000) * 1000000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

using SyncFunction = int (*)(int);

SyncFunction next(const char *name) {
    return reinterpret_cast<SyncFunction>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd) {
    static const SyncFunction real = next("fsync");
    waitAsASlowDiskDoes();
    return real(fd);
}

extern "C" int fdatasync(int fd) {
    static const SyncFunction real = next("fdatasync");
    waitAsASlowDiskDoes();
    return real(fd);
}
