// A slow disk (a USB stick) for the benchmarks: every fsync and fdatasync of the program takes
// CHIPLARK_SLOW_WRITE_MS milliseconds longer (2000 when unset), then flushes as asked.
//   LD_PRELOAD=build/bench/libslow_fsync.so CHIPLARK_SLOW_WRITE_MS=2000 program
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <time.h>

static void slowly(void)
{
    const char *setting = getenv("CHIPLARK_SLOW_WRITE_MS");
    const long ms = setting ? atol(setting) : 2000;
    struct timespec left = {ms / 1000, (ms % 1000) * 1000000L};
    const int saved = errno;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    errno = saved;
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    slowly();
    return real(fd);
}

int fdatasync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
    slowly();
    return real(fd);
}
