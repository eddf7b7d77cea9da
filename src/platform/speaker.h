// Reading text aloud: the speech service behind one interface, and its headless twin that
// writes on stderr what it would say.
#pragma once

#include <memory>
#include <string>

namespace yv {

// Any thread may call every member: an implementation never holds the caller on the service.
class Speaker {
public:
    virtual ~Speaker() = default;
    // Starts reaching the service when not done yet (returns at once). A service that is missing
    // is said once on stderr, and usable() answers false from then on.
    virtual void open() = 0;
    // Says `utf8`, cutting what is being said: the latest text wins.
    virtual void say(std::string utf8) = 0;
    // Stops what is being said.
    virtual void cancel() = 0;
    virtual bool usable() const = 0;
};

// speech-dispatcher through its client library, opened with dlopen on first use; `verbose`
// says on stderr when it has connected. With `openWaits` open() returns once connected or
// refused: a headless run, whose clock races ahead, then does the same each time.
std::unique_ptr<Speaker> makeSpeechDispatcherSpeaker(bool verbose, bool openWaits);
// --speech-log: "speak: TEXT" and "speak-stop" lines on stderr instead of a voice.
std::unique_ptr<Speaker> makeLogSpeaker();

}  // namespace yv
