// Standard MIDI file reader. Every length is checked against the bytes that are there; a track
// that breaks off ends where it breaks.
#include "platform/audio/midi_file.h"

#include <algorithm>

namespace yv::audio {
namespace {

uint32_t be32(std::string_view d, size_t at) {
    return (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
           (uint32_t(uint8_t(d[at + 2])) << 8) | uint32_t(uint8_t(d[at + 3]));
}
uint16_t be16(std::string_view d, size_t at) {
    return static_cast<uint16_t>((uint8_t(d[at]) << 8) | uint8_t(d[at + 1]));
}
uint32_t le32(std::string_view d, size_t at) {
    return uint32_t(uint8_t(d[at])) | (uint32_t(uint8_t(d[at + 1])) << 8) |
           (uint32_t(uint8_t(d[at + 2])) << 16) | (uint32_t(uint8_t(d[at + 3])) << 24);
}

// The standard MIDI file inside a RIFF "RMID" wrapper, or the data itself.
std::string_view unwrapRmid(std::string_view d) {
    if (d.size() < 12 || d.substr(0, 4) != "RIFF" || d.substr(8, 4) != "RMID") return d;
    size_t at = 12;
    while (at + 8 <= d.size()) {
        const size_t len = std::min<size_t>(le32(d, at + 4), d.size() - at - 8);
        if (d.substr(at, 4) == "data") return d.substr(at + 8, len);
        at += 8 + len + (len & 1);
    }
    return {};
}

struct RawEvent {
    uint64_t tick;
    MidiEvent e;
};
struct Tempo {
    uint64_t tick;
    uint32_t microsPerQuarter;
};

constexpr uint64_t kMaxTick = uint64_t(1) << 40;  // keeps every product below 2^63

class TrackReader {
public:
    TrackReader(std::string_view t, uint64_t startTick) : t_(t), tick_(startTick) {}

    // Appends the track's events; returns the tick where the track ends.
    uint64_t read(std::vector<RawEvent>& out, std::vector<Tempo>& tempos, std::vector<char>& sysex) {
        uint8_t running = 0;
        while (at_ < t_.size()) {
            uint32_t delta;
            if (!vlq(delta)) break;
            tick_ = std::min(tick_ + delta, kMaxTick);
            if (at_ >= t_.size()) break;
            uint8_t status = byte(at_);
            if (status & 0x80) {
                ++at_;
            } else {
                if (!running) break;  // a data byte with nothing to run on: the track is damaged
                status = running;
            }
            if (status == 0xFF) {
                if (at_ >= t_.size()) break;
                const uint8_t type = byte(at_++);
                uint32_t len;
                if (!vlq(len) || len > t_.size() - at_) break;
                if (type == 0x51 && len >= 3)
                    tempos.push_back({tick_, (uint32_t(byte(at_)) << 16) | (uint32_t(byte(at_ + 1)) << 8) |
                                                 byte(at_ + 2)});
                at_ += len;
                if (type == 0x2F) return tick_;
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                running = 0;
                uint32_t len;
                if (!vlq(len) || len > t_.size() - at_) break;
                if (status == 0xF0) {
                    uint32_t n = len;
                    if (n > 0 && byte(at_ + n - 1) == 0xF7) --n;  // the synthesizer wants it bare
                    if (sysex.size() + n <= UINT32_MAX) {
                        MidiEvent e;
                        e.status = 0xF0;
                        e.sysexOffset = static_cast<uint32_t>(sysex.size());
                        e.sysexLength = n;
                        sysex.insert(sysex.end(), t_.begin() + static_cast<std::ptrdiff_t>(at_),
                                     t_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
                        out.push_back({tick_, e});
                    }
                }
                at_ += len;
                continue;
            }
            if (status >= 0xF0) continue;  // other system messages carry nothing we play
            running = status;
            const int need = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (at_ + static_cast<size_t>(need) > t_.size()) break;
            MidiEvent e;
            e.status = status;
            e.data1 = byte(at_) & 0x7F;
            e.data2 = need == 2 ? byte(at_ + 1) & 0x7F : 0;
            at_ += static_cast<size_t>(need);
            out.push_back({tick_, e});
        }
        return tick_;
    }

private:
    uint8_t byte(size_t i) const { return static_cast<uint8_t>(t_[i]); }
    bool vlq(uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            if (at_ >= t_.size()) return false;
            const uint8_t b = byte(at_++);
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    std::string_view t_;
    size_t at_ = 0;
    uint64_t tick_;
};

}  // namespace

std::shared_ptr<const MidiSong> parseMidi(std::string_view data, int rate, std::string* why) {
    auto fail = [&](const char* reason) {
        if (why) *why = reason;
        return nullptr;
    };
    const std::string_view d = unwrapRmid(data);
    if (d.size() < 14 || d.substr(0, 4) != "MThd") return fail("not a standard MIDI file");
    const uint32_t headerLen = be32(d, 4);
    if (headerLen < 6 || headerLen > d.size() - 8) return fail("damaged MIDI header");
    const uint16_t format = be16(d, 8);
    const uint16_t trackCount = be16(d, 10);
    const uint16_t division = be16(d, 12);
    if (format > 2) return fail("unknown MIDI file format");
    if (division == 0) return fail("MIDI file without a time division");

    std::vector<RawEvent> raw;
    std::vector<Tempo> tempos;
    auto song = std::make_shared<MidiSong>();
    uint64_t endTick = 0, nextStart = 0;
    int tracks = 0;
    size_t at = 8 + headerLen;
    while (at + 8 <= d.size() && tracks < trackCount) {
        const size_t len = std::min<size_t>(be32(d, at + 4), d.size() - at - 8);
        if (d.substr(at, 4) == "MTrk") {
            // Format 2 holds independent patterns: they play one after the other.
            TrackReader r(d.substr(at + 8, len), format == 2 ? nextStart : 0);
            const uint64_t end = r.read(raw, tempos, song->sysex);
            endTick = std::max(endTick, end);
            nextStart = end;
            ++tracks;
        }
        at += 8 + len;
    }
    if (tracks == 0) return fail("MIDI file without tracks");

    std::stable_sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) { return a.tick < b.tick; });
    std::stable_sort(tempos.begin(), tempos.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });

    // Ticks to seconds: with a tempo map (quarter-note division) or at a fixed SMPTE rate.
    const bool smpte = (division & 0x8000) != 0;
    double ticksPerSecondSmpte = 0;
    if (smpte) {
        const int fps = -static_cast<int8_t>(division >> 8);
        const int perFrame = division & 0xFF;
        const double realFps = fps == 29 ? 29.97 : fps;
        if (fps <= 0 || perFrame == 0) return fail("damaged SMPTE time division");
        ticksPerSecondSmpte = realFps * perFrame;
    }
    size_t ti = 0;
    uint64_t tempoTick = 0;
    double tempoSeconds = 0;
    uint32_t tempo = 500000;
    auto secondsAt = [&](uint64_t tick) {
        if (smpte) return static_cast<double>(tick) / ticksPerSecondSmpte;
        while (ti < tempos.size() && tempos[ti].tick <= tick) {
            tempoSeconds += static_cast<double>(tempos[ti].tick - tempoTick) * tempo / (1e6 * division);
            tempoTick = tempos[ti].tick;
            tempo = tempos[ti].microsPerQuarter;
            ++ti;
        }
        return tempoSeconds + static_cast<double>(tick - tempoTick) * tempo / (1e6 * division);
    };
    const double maxSeconds = static_cast<double>(kMaxMidiSeconds);
    song->events.reserve(raw.size());
    for (const RawEvent& r : raw) {
        const double s = secondsAt(r.tick);
        if (s > maxSeconds) break;
        MidiEvent e = r.e;
        e.frame = static_cast<int64_t>(s * rate);
        song->events.push_back(e);
    }
    const double endSeconds = std::min(secondsAt(std::max(endTick, raw.empty() ? 0 : raw.back().tick)), maxSeconds);
    song->lengthFrames = static_cast<int64_t>(endSeconds * rate);
    if (!song->events.empty()) song->lengthFrames = std::max(song->lengthFrames, song->events.back().frame);
    return song;
}

}  // namespace yv::audio
