// Start-up to the first frame on the screen, for two programs in paired runs.
//   first_frame FRAMEBUFFER PAIRS PROGRAM_A PROGRAM_B
// FRAMEBUFFER is the screen file of an Xvfb started with -fbdir and -br (a black screen
// with nothing on it). Each run starts one program (from its own folder) and watches the
// screen's memory, not the X server, until the program's first frame shows; the program is
// then killed and the screen left to go black again. The two programs take turns, each
// pair in the other order than the one before. Prints the median of each, the median of the
// pairs' ratios A/B, and each program's peak memory.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "first_frame: %s\n", what);
    std::exit(1);
}

double now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void nap()
{
    const timespec t{0, 200000}; // 0.2 ms
    nanosleep(&t, nullptr);
}

std::uint32_t bigEndian(const unsigned char *p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// The screen as Xvfb keeps it: an XWD header, a colour map, then the pixels.
struct Screen {
    const unsigned char *pixels = nullptr;
    std::uint32_t width = 0, height = 0, bytesPerLine = 0;

    // Whether anything is drawn: a grid of every 8th pixel either way holds a non-black one.
    bool drawn() const
    {
        for (std::uint32_t y = 0; y < height; y += 8) {
            const auto *row = reinterpret_cast<const std::uint32_t *>(pixels + std::size_t(y) * bytesPerLine);
            for (std::uint32_t x = 0; x < width; x += 8)
                if (row[x] & 0xffffffu)
                    return true;
        }
        return false;
    }
};

Screen openScreen(const char *path)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0)
        die("cannot open the framebuffer");
    struct stat st {};
    fstat(fd, &st);
    void *map = mmap(nullptr, st.st_size, PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED)
        die("cannot map the framebuffer");
    const auto *base = static_cast<const unsigned char *>(map);
    const std::uint32_t headerSize = bigEndian(base);
    const std::uint32_t bitsPerPixel = bigEndian(base + 11 * 4);
    Screen screen;
    screen.bytesPerLine = bigEndian(base + 12 * 4);
    const std::uint32_t colours = bigEndian(base + 19 * 4);
    screen.width = bigEndian(base + 20 * 4);
    screen.height = bigEndian(base + 21 * 4);
    if (bitsPerPixel != 32)
        die("the screen must be 24 bits deep (32 bits per pixel)");
    screen.pixels = base + headerSize + colours * 12;
    return screen;
}

struct Run {
    double seconds;
    long peakKb;
};

long peakKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

Run runOnce(const Screen &screen, const char *program)
{
    for (double until = now() + 10; screen.drawn(); nap())
        if (now() > until)
            die("the screen does not clear");
    const double start = now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::string folder(program);
        folder.erase(folder.rfind('/'));
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    for (;; nap()) {
        if (screen.drawn())
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            die("a program ended before it showed anything");
        if (now() - start > 30)
            die("no frame within 30 s");
    }
    const double seconds = now() - start;
    const long kb = peakKb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return {seconds, kb};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5)
        die("usage: first_frame FRAMEBUFFER PAIRS PROGRAM_A PROGRAM_B");
    const Screen screen = openScreen(argv[1]);
    const int pairs = std::atoi(argv[2]);
    // One run of each first, not counted: caches warm for both alike.
    runOnce(screen, argv[3]);
    runOnce(screen, argv[4]);
    std::vector<double> a, b, ratios;
    long peakA = 0, peakB = 0;
    for (int i = 0; i < pairs; ++i) {
        Run ra{}, rb{};
        if (i % 2 == 0) {
            ra = runOnce(screen, argv[3]);
            rb = runOnce(screen, argv[4]);
        } else {
            rb = runOnce(screen, argv[4]);
            ra = runOnce(screen, argv[3]);
        }
        a.push_back(ra.seconds * 1000);
        b.push_back(rb.seconds * 1000);
        ratios.push_back(ra.seconds / rb.seconds);
        peakA = std::max(peakA, ra.peakKb);
        peakB = std::max(peakB, rb.peakKb);
    }
    std::printf("%s: median %.1f ms to the first frame, peak %.1f MB\n", argv[3], median(a), peakA / 1024.0);
    std::printf("%s: median %.1f ms to the first frame, peak %.1f MB\n", argv[4], median(b), peakB / 1024.0);
    std::printf("median ratio of %d pairs: %.2f (fastest %.2f, slowest %.2f)\n", pairs, median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
