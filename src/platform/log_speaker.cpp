// The speaker that writes what it would say on stderr (--speech-log, headless tests).
#include <cstdio>

#include "platform/speaker.h"

namespace yv {
namespace {

class LogSpeaker final : public Speaker {
public:
    void open() override {}
    void say(std::string utf8) override {
        // One line a text, whatever it holds: a reader of the log counts lines.
        for (char& c : utf8)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "speak: %s\n", utf8.c_str());
    }
    void cancel() override { std::fprintf(stderr, "speak-stop\n"); }
    bool usable() const override { return true; }
};

}  // namespace

std::unique_ptr<Speaker> makeLogSpeaker() { return std::make_unique<LogSpeaker>(); }

}  // namespace yv
