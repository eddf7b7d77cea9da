// Speaking through speech-dispatcher: libspeechd opened on first use, its calls on a worker thread.
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
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

class SpeechDispatcherSpeaker final : public Speaker {
public:
    SpeechDispatcherSpeaker(bool verbose, bool openWaits) : verbose_(verbose), openWaits_(openWaits) {}
    ~SpeechDispatcherSpeaker() override {
        {
            MutexLock lock(mutex_);
            quit_ = true;
        }
        wake_.notifyAll();
        if (worker_.joinable()) worker_.join();
    }

    void open() override {
        MutexLock lock(mutex_);
        startLocked();
        while (openWaits_ && !settled_) wake_.wait(lock);
    }
    void say(std::string utf8) override {
        if (failed_) return;
        MutexLock lock(mutex_);
        startLocked();
        pending_ = std::move(utf8);
        hasPending_ = true;
        wake_.notifyAll();
    }
    void cancel() override {
        if (failed_) return;
        MutexLock lock(mutex_);
        hasPending_ = false;
        cancel_ = true;
        wake_.notifyAll();
    }
    bool usable() const override { return !failed_; }

private:
    void startLocked() YV_REQUIRES(mutex_) {
        if (started_) return;
        started_ = true;
        worker_ = std::thread([this] { run(); });
    }

    void refuse(const std::string& why) {
        failed_ = true;
        std::fprintf(stderr, "yorvane: %s\n", i18n::trf("no speech service (%s); reading aloud is off", {why}).c_str());
        settle();
    }
    // Connected or refused: an open() that waits goes on.
    void settle() {
        MutexLock lock(mutex_);
        settled_ = true;
        wake_.notifyAll();
    }

    // Connecting may take seconds (the service is started on demand), and every call may wait on
    // its socket: none of it on a game thread.
    void run() {
        Spd spd;
        std::string why;
        if (!spd.load(why)) return refuse(why);
        char* error = nullptr;
        void* conn = spd.open2("yorvane", "main", nullptr, kSpdModeSingle, nullptr, 1, &error);
        if (!conn) {
            // Its first line: the rest is the service's own log when it was started and failed.
            std::string first = error ? error : "speech-dispatcher cannot be reached";
            first = first.substr(0, std::min(first.find('\n'), size_t{200}));
            refuse(first);
            std::free(error);
            return;
        }
        std::free(error);
        if (verbose_) std::fprintf(stderr, "yorvane: speech: connected to speech-dispatcher\n");
        settle();
        bool japanese = false;
        for (;;) {
            std::string text;
            bool cut = false, speak = false;
            {
                MutexLock lock(mutex_);
                while (!quit_ && !cancel_ && !hasPending_) wake_.wait(lock);
                if (quit_) break;
                cut = cancel_;
                speak = hasPending_;
                cancel_ = hasPending_ = false;
                text = std::move(pending_);
            }
            // A new text cuts the one being said (its own connection's messages only).
            if ((cut || speak) && spd.cancel(conn) < 0) {
                refuse("speech-dispatcher stopped answering");
                break;
            }
            if (!speak) continue;
            if (pastAscii(text) && !japanese) japanese = spd.setLanguage(conn, "ja") == 0;
            if (spd.say(conn, kSpdText, text.c_str()) < 0) {
                refuse("speech-dispatcher stopped answering");
                break;
            }
            if (verbose_) std::fprintf(stderr, "yorvane: speech: said %zu bytes\n", text.size());
        }
        // The game is closing: what is left unsaid goes with it.
        if (!failed_) spd.cancel(conn);
        spd.close(conn);
    }

    const bool verbose_;
    const bool openWaits_;
    std::atomic<bool> failed_{false};
    Mutex mutex_;
    CondVar wake_;
    bool started_ YV_GUARDED_BY(mutex_) = false;
    bool settled_ YV_GUARDED_BY(mutex_) = false;
    bool quit_ YV_GUARDED_BY(mutex_) = false;
    bool cancel_ YV_GUARDED_BY(mutex_) = false;
    bool hasPending_ YV_GUARDED_BY(mutex_) = false;
    std::string pending_ YV_GUARDED_BY(mutex_);
    std::thread worker_;  // started under mutex_, joined by the destructor
};

}  // namespace

std::unique_ptr<Speaker> makeSpeechDispatcherSpeaker(bool verbose, bool openWaits) {
    return std::make_unique<SpeechDispatcherSpeaker>(verbose, openWaits);
}

}  // namespace yv
