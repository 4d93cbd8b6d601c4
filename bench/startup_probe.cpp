// Times windows appearing under X without polling: it listens for MapNotify on the root window
// before the measured step starts, and stamps each event as it arrives.
//
//   setforge_startup_probe exec <width> <height> <settle-ms> <program> [args...]
//       Runs the program and prints
//           map_us=<exec to the map of its first top-level window of that size>
//           vmhwm_kb=<the program's peak resident memory after <settle-ms> idle>
//       then ends the program.
//   setforge_startup_probe click <x> <y> <width> <height>
//       Clicks at x,y through XTEST and prints
//           map_us=<button release to the map of a new top-level window of that size>
//
// Exit status 0 on a measurement, 1 on any failure (message on stderr).
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto WaitLimit = std::chrono::seconds(30);

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "setforge_startup_probe: %s\n", message.c_str());
    std::exit(1);
}

struct Display {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;

    Display() {
        int screenNumber = 0;
        connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection) != 0) {
            die("cannot connect to the X display (is DISPLAY set?)");
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber; ++i) {
            xcb_screen_next(&it);
        }
        root = it.data->root;
        // Map events of every top-level window reach us from here on.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask);
        if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error{xcb_request_check(connection, cookie),
                                                                             &std::free}) {
            die("cannot listen to the root window");
        }
    }
    ~Display() { xcb_disconnect(connection); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    [[nodiscard]] bool sizeIs(xcb_window_t window, int width, int height) const {
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry{
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free};
        return geometry && geometry->width == width && geometry->height == height;
    }

    // Waits for a top-level window of the given size to be mapped and returns when that was.
    // `stillWaiting` is asked between events; it returns false to give up.
    template <typename Check> std::optional<Clock::time_point> waitForMap(int width, int height, Check stillWaiting) {
        const auto deadline = Clock::now() + WaitLimit;
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                const auto arrived = Clock::now();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                std::free(event);
                if (mapped && sizeIs(window, width, height)) {
                    return arrived;
                }
            }
            if (xcb_connection_has_error(connection) != 0 || !stillWaiting()) {
                return std::nullopt;
            }
            poll(&fd, 1, 20);
        }
        return std::nullopt;
    }
};

long long microseconds(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
}

long peakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

int measureStart(int width, int height, int settleMs, char** program) {
    Display display;
    int stamp[2];
    if (pipe2(stamp, O_CLOEXEC) != 0) {
        die("pipe2 failed");
    }
    const pid_t child = fork();
    if (child < 0) {
        die("fork failed");
    }
    if (child == 0) {
        // The clock starts here, in the process that is about to become the program.
        const Clock::time_point start = Clock::now();
        if (write(stamp[1], &start, sizeof start) != sizeof start) {
            _exit(126);
        }
        execvp(program[0], program);
        _exit(127);
    }
    close(stamp[1]);
    Clock::time_point start;
    if (read(stamp[0], &start, sizeof start) != sizeof start) {
        die("the child did not report its start");
    }
    close(stamp[0]);

    int status = 0;
    bool ended = false;
    const auto mapped = display.waitForMap(width, height, [&] {
        ended = waitpid(child, &status, WNOHANG) == child;
        return !ended;
    });
    if (!mapped) {
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        die(std::string(program[0]) + (ended ? " ended before" : " did not map") + " a " + std::to_string(width) + "x" +
            std::to_string(height) + " window");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long peak = peakResidentKb(child);
    kill(child, SIGTERM);
    waitpid(child, &status, 0);
    if (peak < 0) {
        die("no VmHWM for the program");
    }
    std::printf("map_us=%lld vmhwm_kb=%ld\n", microseconds(*mapped - start), peak);
    return 0;
}

// XTEST's FakeInput request, sent through xcb's generic request call (no libxcb-xtest needed).
xcb_extension_t XTest{"XTEST", 0};

struct FakeInputRequest {
    uint8_t majorOpcode; // filled in by xcb
    uint8_t minorOpcode;
    uint16_t length; // filled in by xcb
    uint8_t type;
    uint8_t detail;
    uint8_t pad0[2];
    uint32_t time;
    xcb_window_t root;
    uint8_t pad1[8];
    int16_t rootX;
    int16_t rootY;
    uint8_t pad2[7];
    uint8_t deviceId;
};
static_assert(sizeof(FakeInputRequest) == 36);

void fakeInput(const Display& display, uint8_t type, uint8_t detail, int16_t x, int16_t y) {
    FakeInputRequest request{};
    request.type = type;
    request.detail = detail;
    request.root = display.root;
    request.rootX = x;
    request.rootY = y;
    // xcb_send_request uses the two entries before the request for the header.
    iovec parts[3] = {{nullptr, 0}, {nullptr, 0}, {&request, sizeof request}};
    const xcb_protocol_request_t info{1, &XTest, 2 /* FakeInput */, 1};
    const unsigned int sequence = xcb_send_request(display.connection, XCB_REQUEST_CHECKED, parts + 2, &info);
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error{
        xcb_request_check(display.connection, xcb_void_cookie_t{sequence}), &std::free};
    if (error) {
        die("XTEST FakeInput failed");
    }
}

int measureClick(int x, int y, int width, int height) {
    Display display;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(display.connection, &XTest);
    if (xtest == nullptr || xtest->present == 0) {
        die("the X server has no XTEST extension");
    }
    const auto px = static_cast<int16_t>(x);
    const auto py = static_cast<int16_t>(y);
    fakeInput(display, XCB_MOTION_NOTIFY, 0, px, py);
    fakeInput(display, XCB_BUTTON_PRESS, 1, px, py);
    // A button acts on its release: the clock starts with it.
    const Clock::time_point start = Clock::now();
    fakeInput(display, XCB_BUTTON_RELEASE, 1, px, py);
    const auto mapped = display.waitForMap(width, height, [] { return true; });
    if (!mapped) {
        die("no " + std::to_string(width) + "x" + std::to_string(height) + " window was mapped after the click");
    }
    std::printf("map_us=%lld\n", microseconds(*mapped - start));
    return 0;
}

int number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 100000) {
        die(std::string("not a number: ") + text);
    }
    return static_cast<int>(value);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "exec" && argc >= 6) {
        return measureStart(number(argv[2]), number(argv[3]), number(argv[4]), argv + 5);
    }
    if (mode == "click" && argc == 6) {
        return measureClick(number(argv[2]), number(argv[3]), number(argv[4]), number(argv[5]));
    }
    std::fprintf(stderr,
                 "usage: %s exec <width> <height> <settle-ms> <program> [args...]\n"
                 "       %s click <x> <y> <width> <height>\n",
                 argv[0], argv[0]);
    return 1;
}
