// The one-entry request slot of the wave, MIDI and CD players: commands post into it on the
// interpreter thread (a newer request replaces one not yet carried out), the player's tick
// takes a copy on the window thread and clears it once done. The slot also keeps the state
// record the save writer stores.
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "core/mutex.h"

namespace yv::media {

// `Request` has `bool pending`, `int32_t kind` and whatever else the player's requests carry.
template <class Request>
class RequestSlot {
public:
    // What the tick carries out, and the count of posts it was taken at: a request posted while
    // the tick worked must not be cleared (or changed) by it.
    struct Taken {
        Request request;
        uint64_t generation = 0;
    };

    // The request becomes pending with `kind`; `change(request)` writes the rest into it and
    // returns the new state record.
    template <class Change>
    void post(int32_t kind, Change&& change) {
        MutexLock lock(mutex_);
        request_.pending = true;
        request_.kind = kind;
        record_ = change(request_);
        ++generation_;
    }

    Request current() const {
        MutexLock lock(mutex_);
        return request_;
    }
    Taken take() const {
        MutexLock lock(mutex_);
        return {request_, generation_};
    }
    // `change(request)` unless a request was posted since `generation`.
    template <class Change>
    void ifCurrent(uint64_t generation, Change&& change) {
        MutexLock lock(mutex_);
        if (generation_ == generation) change(request_);
    }
    // The request taken at `generation` has been carried out.
    void done(uint64_t generation) {
        ifCurrent(generation, [](Request& r) { r.pending = false; });
    }
    // `change(request)` whatever was posted (the window's start).
    template <class Change>
    void change(Change&& change) {
        MutexLock lock(mutex_);
        change(request_);
    }

    // The state record, empty before the first request and after clearRecord().
    Bytes record() const {
        MutexLock lock(mutex_);
        return record_;
    }
    void clearRecord() {
        MutexLock lock(mutex_);
        record_.clear();
    }

private:
    mutable Mutex mutex_;
    Request request_ YV_GUARDED_BY(mutex_);
    uint64_t generation_ YV_GUARDED_BY(mutex_) = 0;
    Bytes record_ YV_GUARDED_BY(mutex_);
};

}  // namespace yv::media
