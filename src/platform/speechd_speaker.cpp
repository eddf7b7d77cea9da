// Speaking through speech-dispatcher: libspeechd opened on first use, its calls on a worker thread.
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "core/i18n.h"
#include "core/mutex.h"
#include "platform/speaker.h"

namespace yv {
namespace {

// libspeechd's own values (speechd_types.h, libspeechd.h of speech-dispatcher 0.11): the
// library is opened at run time, so its headers are not needed to build.
constexpr int kSpdText = 3;        // SPDPriority SPD_TEXT
constexpr int kSpdModeSingle = 0;  // SPDConnectionMode SPD_MODE_SINGLE

struct Spd {
    using Open2 = void* (*)(const char*, const char*, const char*, int, const void*, int, char**);
    using Say = int (*)(void*, int, const char*);
    using Conn = int (*)(void*);
    using Close = void (*)(void*);
    using SetLanguage = int (*)(void*, const char*);
    void* lib = nullptr;
    Open2 open2 = nullptr;
    Say say = nullptr;
    Conn cancel = nullptr;
    Close close = nullptr;
    SetLanguage setLanguage = nullptr;

    // False with the reason in `why`.
    bool load(std::string& why) {
        lib = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            const char* e = dlerror();
            why = e ? e : "cannot open libspeechd.so.2";
            return false;
        }
        open2 = reinterpret_cast<Open2>(dlsym(lib, "spd_open2"));
        say = reinterpret_cast<Say>(dlsym(lib, "spd_say"));
        cancel = reinterpret_cast<Conn>(dlsym(lib, "spd_cancel"));
        close = reinterpret_cast<Close>(dlsym(lib, "spd_close"));
        setLanguage = reinterpret_cast<SetLanguage>(dlsym(lib, "spd_set_language"));
        if (open2 && say && cancel && close && setLanguage) return true;
        why = "libspeechd.so.2 lacks spd_open2, spd_say, spd_cancel, spd_close or spd_set_language";
        return false;
    }
};

// Japanese text (anything past ASCII) wants a Japanese voice: the language becomes ja at the first
// such text, and a game all in ASCII (a translation) keeps the service's own.
bool pastAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

// What the game's threads and the worker share. The worker holds it too, so that a worker still
// waiting on the service when the game closes can be left to finish on its own.
struct SpeechLine {
    Mutex mutex_;
    CondVar wake_;
    bool settled_ YV_GUARDED_BY(mutex_) = false;
    bool quit_ YV_GUARDED_BY(mutex_) = false;
    bool cancel_ YV_GUARDED_BY(mutex_) = false;
    bool hasPending_ YV_GUARDED_BY(mutex_) = false;
    bool finished_ YV_GUARDED_BY(mutex_) = false;
    std::string pending_ YV_GUARDED_BY(mutex_);
    std::atomic<bool> failed_{false};
};

// How long a close waits for the worker: a connection under way (the service being started on
// demand) can take seconds, and a close never waits on it.
constexpr auto kCloseWait = std::chrono::milliseconds(300);
constexpr auto kOpenWait = std::chrono::seconds(5);

class SpeechDispatcherSpeaker final : public Speaker {
public:
    SpeechDispatcherSpeaker(bool verbose, bool openWaits) : verbose_(verbose), openWaits_(openWaits) {}
    ~SpeechDispatcherSpeaker() override {
        if (!worker_.joinable()) return;
        bool finished = false;
        {
            MutexLock lock(line_->mutex_);
            line_->quit_ = true;
            line_->wake_.notifyAll();
            const auto until = std::chrono::steady_clock::now() + kCloseWait;
            while (!line_->finished_ && std::chrono::steady_clock::now() < until)
                line_->wake_.waitFor(lock, until - std::chrono::steady_clock::now());
            finished = line_->finished_;
        }
        if (finished)
            worker_.join();
        else
            worker_.detach();  // it ends once the service answers; the line outlives us
    }

    void open() override {
        MutexLock lock(line_->mutex_);
        startLocked();
        // Headless runs wait for the service's answer, so that what they log does not depend on
        // how fast it came; a service that never answers holds them no longer than this.
        const auto until = std::chrono::steady_clock::now() + kOpenWait;
        while (openWaits_ && !line_->settled_ && std::chrono::steady_clock::now() < until)
            line_->wake_.waitFor(lock, until - std::chrono::steady_clock::now());
    }
    void say(std::string utf8) override {
        if (line_->failed_) return;
        MutexLock lock(line_->mutex_);
        startLocked();
        line_->pending_ = std::move(utf8);
        line_->hasPending_ = true;
        line_->wake_.notifyAll();
    }
    void cancel() override {
        if (line_->failed_) return;
        MutexLock lock(line_->mutex_);
        line_->hasPending_ = false;
        line_->cancel_ = true;
        line_->wake_.notifyAll();
    }
    bool usable() const override { return !line_->failed_; }

private:
    void startLocked() YV_REQUIRES(line_->mutex_) {
        if (started_) return;
        started_ = true;
        worker_ = std::thread([line = line_, verbose = verbose_] {
            run(*line, verbose);
            MutexLock lock(line->mutex_);
            line->finished_ = true;
            line->wake_.notifyAll();
        });
    }

    static void refuse(SpeechLine& line, const std::string& why) {
        line.failed_ = true;
        std::fprintf(stderr, "yorvane: %s\n", i18n::trf("no speech service (%s); reading aloud is off", {why}).c_str());
        settle(line);
    }
    // Connected or refused: an open() that waits goes on.
    static void settle(SpeechLine& line) {
        MutexLock lock(line.mutex_);
        line.settled_ = true;
        line.wake_.notifyAll();
    }

    // Connecting may take seconds (the service is started on demand), and every call may wait on
    // its socket: none of it on a game thread.
    static void run(SpeechLine& line, bool verbose) {
        Spd spd;
        std::string why;
        if (!spd.load(why)) return refuse(line, why);
        char* error = nullptr;
        void* conn = spd.open2("yorvane", "main", nullptr, kSpdModeSingle, nullptr, 1, &error);
        if (!conn) {
            // Its first line: the rest is the service's own log when it was started and failed.
            std::string first = error ? error : "speech-dispatcher cannot be reached";
            first = first.substr(0, std::min(first.find('\n'), size_t{200}));
            refuse(line, first);
            std::free(error);
            return;
        }
        std::free(error);
        if (verbose) std::fprintf(stderr, "yorvane: speech: connected to speech-dispatcher\n");
        settle(line);
        bool japanese = false;
        for (;;) {
            std::string text;
            bool cut = false, speak = false;
            {
                MutexLock lock(line.mutex_);
                while (!line.quit_ && !line.cancel_ && !line.hasPending_) line.wake_.wait(lock);
                if (line.quit_) break;
                cut = line.cancel_;
                speak = line.hasPending_;
                line.cancel_ = line.hasPending_ = false;
                text = std::move(line.pending_);
            }
            // A new text cuts the one being said (its own connection's messages only).
            if ((cut || speak) && spd.cancel(conn) < 0) {
                refuse(line, "speech-dispatcher stopped answering");
                break;
            }
            if (!speak) continue;
            if (pastAscii(text) && !japanese) japanese = spd.setLanguage(conn, "ja") == 0;
            if (spd.say(conn, kSpdText, text.c_str()) < 0) {
                refuse(line, "speech-dispatcher stopped answering");
                break;
            }
            if (verbose) std::fprintf(stderr, "yorvane: speech: said %zu bytes\n", text.size());
        }
        // The game is closing: what is left unsaid goes with it.
        if (!line.failed_) spd.cancel(conn);
        spd.close(conn);
    }

    const bool verbose_;
    const bool openWaits_;
    const std::shared_ptr<SpeechLine> line_ = std::make_shared<SpeechLine>();
    bool started_ YV_GUARDED_BY(line_->mutex_) = false;
    std::thread worker_;  // started under the line's lock; joined, or left to end on its own
};

}  // namespace

std::unique_ptr<Speaker> makeSpeechDispatcherSpeaker(bool verbose, bool openWaits) {
    return std::make_unique<SpeechDispatcherSpeaker>(verbose, openWaits);
}

}  // namespace yv
