// The sound factory: which decoder each kind of file goes through.
#include "platform/audio/sound.h"

#include "platform/audio/midi_file.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/pcm_source.h"

namespace yv::audio {
namespace {

// Decoded whole: plays from memory.
class PcmSound final : public Sound {
public:
    explicit PcmSound(std::shared_ptr<const Pcm> pcm) : pcm_(std::move(pcm)) {}
    std::unique_ptr<Source> play(bool loop, const SourceContext&) const override { return makePcmSource(pcm_, loop); }
    int64_t frames() const override { return pcm_->frames(); }

private:
    std::shared_ptr<const Pcm> pcm_;
};

// Decoded while it plays, from stretches of files or from bytes held in memory.
class StreamSound final : public Sound {
public:
    explicit StreamSound(std::vector<Segment> segments) : segments_(std::move(segments)) {}
    std::unique_ptr<Source> play(bool loop, const SourceContext& context) const override {
        return makeStreamSource(segments_, loop, context.stop);
    }

private:
    std::vector<Segment> segments_;
};

// A song played on the soundfont's synthesizer.
class MidiSound final : public Sound {
public:
    explicit MidiSound(std::shared_ptr<const MidiSong> song) : song_(std::move(song)) {}
    std::unique_ptr<Source> play(bool loop, const SourceContext& context) const override {
        if (!context.synth) return nullptr;
        return makeMidiSource(*context.synth, song_, loop);
    }

private:
    std::shared_ptr<const MidiSong> song_;
};

OpenedSound failed(std::string why) { return {nullptr, std::move(why)}; }

}  // namespace

OpenedSound openSound(std::string bytes, SoundKind kind) {
    switch (kind) {
    case SoundKind::Wave: {
        if (auto pcm = decodeWave(bytes)) return {std::make_unique<PcmSound>(std::move(pcm)), {}};
        // A compressed sound given as a wave file.
        Segment memory;
        memory.memory = std::make_shared<const std::string>(std::move(bytes));
        if (!decodable(memory.memory)) return failed("neither a WAVE file nor a sound FFmpeg decodes");
        return {std::make_unique<StreamSound>(std::vector<Segment>{std::move(memory)}), {}};
    }
    case SoundKind::Midi: {
        std::string why;
        auto song = parseMidi(bytes, kRate, &why);
        if (!song) return failed("not a MIDI file we can play: " + why);
        return {std::make_unique<MidiSound>(std::move(song)), {}};
    }
    case SoundKind::Effect: {
        // Nothing plays in place of a sound effect that is not a WAVE file.
        auto pcm = decodeWave(bytes);
        if (!pcm) return failed("not a WAVE file");
        return {std::make_unique<PcmSound>(std::move(pcm)), {}};
    }
    }
    return failed("unknown kind of sound");
}

OpenedSound openTracks(std::vector<Segment> tracks) {
    if (tracks.empty()) return failed("no audio track to play");
    return {std::make_unique<StreamSound>(std::move(tracks)), {}};
}

}  // namespace yv::audio
