// Movie files read through FFmpeg: the first video stream decoded frame by frame, in order, and
// each frame converted to a 24-bit picture of any size. The caller owns the pacing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace yv::video {

class Decoder {
public:
    enum class Opened { Ok, CannotOpen, NoVideo, NoDecoder };
    // Nothing when the file cannot be read as a movie (`result` says why): also a picture
    // larger than 4096 x 4096 and a header that reads on and on (a long tail of junk). Reading
    // gives up, as at the end of a damaged file, once `stop` answers true (the game closing).
    static std::unique_ptr<Decoder> open(const std::filesystem::path& file, Opened& result,
                                         std::function<bool()> stop = {});
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    int width() const;
    int height() const;
    // Frames the stream announces (0: not known; playback then runs to the end of the data).
    int64_t length() const { return length_; }
    // The stream's time of its length divided by its length, in whole milliseconds, as the
    // frame timer of frame playback takes it (at least 0).
    int32_t wholeMsPerFrame() const { return wholeMs_; }
    // The exact time of one frame in milliseconds (1 .. 5000).
    double msPerFrame() const { return frameMs_; }
    // The file also carries a sound stream.
    bool hasAudio() const { return hasAudio_; }
    const std::string& codecName() const { return codecName_; }

    // Brings the picture of frame k (counted from the stream's start) into the decoder: the
    // last frame that starts at or before k. Frames are decoded in order: k must not go back.
    // False while no frame at all could be decoded up to k.
    bool advanceTo(int64_t k);
    // Index of the frame advanceTo holds (-1 before the first).
    int64_t heldIndex() const { return heldIndex_; }
    // No frame after the held one is left in the file.
    bool ended() const { return ended_ && !pendingValid_; }

    // The held frame scaled to w x h (each 1 .. 4096) as 24-bit bottom-up BGR rows of w*3 bytes
    // into out. False when no frame is held or the conversion fails.
    bool convert(int w, int h, std::vector<uint8_t>& out);

private:
    explicit Decoder(std::function<bool()> stop);
    bool decodeNext();  // into pending_; false at the end of the stream
    int64_t indexOf(int64_t pts, int64_t count) const;

    struct Av;
    std::unique_ptr<Av> av_;
    int64_t length_ = 0;
    int32_t wholeMs_ = 0;
    double frameMs_ = 66.0;
    bool hasAudio_ = false;
    std::string codecName_;
    int64_t heldIndex_ = -1;
    int64_t pendingIndex_ = -1;
    bool pendingValid_ = false;
    bool ended_ = false;
    int64_t decoded_ = 0;
    std::vector<uint8_t> scratch_;
};

// Whether movies can be decoded at all on this machine (the check a movie device answers
// before it plays); `error` gets the reason when not.
bool canPlayMovies(std::string& error);

}  // namespace yv::video
