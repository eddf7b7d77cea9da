// Test helpers.
#include "test_util.h"

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <iterator>
#include <random>
#include <sstream>

#include "save/replay_log.h"
#include "save/save_state.h"

namespace yv {

namespace {
// What the runs of the program that tests make remember (settings, recent games, the text read,
// quick saves and resume files) goes to folders of the build, never the home of whoever runs
// the tests.
const bool kConfigAside = [] {
    return ::setenv("XDG_CONFIG_HOME", YV_TEST_CONFIG_DIR, 1) == 0 &&
           ::setenv("XDG_DATA_HOME", YV_TEST_DATA_DIR, 1) == 0;
}();
}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("yvtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    const auto p = path_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir io;
    std::string cmd = "'" + program + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " >'" + (io.path() / "out").string() + "' 2>'" + (io.path() / "err").string() + "'";
    RunResult r;
    const int st = std::system(cmd.c_str());
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.out = io.read("out");
    r.err = io.read("err");
    return r;
}

Picture readPng(const std::filesystem::path& file) {
    Picture p;
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, file.c_str())) return p;
    img.format = PNG_FORMAT_RGB;
    p.w = static_cast<int>(img.width);
    p.h = static_cast<int>(img.height);
    p.rgb.resize(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, p.rgb.data(), 0, nullptr)) p = Picture{};
    return p;
}

int playInWindow(const TempDir& game, const TempDir& io, const std::string& actions, int endTenths) {
    io.write("drive.sh",
             "#!/bin/sh\n"
             "\"$1\" --scale 1 \"$2\" 2>\"$3/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 4; }\n"
             "xdotool windowfocus \"$w\" 2>/dev/null\n" +
             actions + "\nfor i in $(seq " + std::to_string(endTenths) +
             "); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            game.path().string() + "' '" + io.path().string() + "' >'" +
                            (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::vector<std::pair<int, int>> readSystemDat(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : data) c = static_cast<char>(static_cast<unsigned char>(c) ^ kSystemSaveKey);
    std::vector<std::pair<int, int>> out;
    RecordReader r(data);
    while (r.nextId() == 201) {
        const int i = r.number();
        out.emplace_back(i, r.number());
    }
    return out;
}

}  // namespace yv
