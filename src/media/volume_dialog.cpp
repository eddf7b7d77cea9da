// The volume dialog's view of the game's volumes.
#include "media/media.h"
#include "runtime.h"

namespace yv::media {
namespace {

class DialogModel final : public VolumeDialogModel {
public:
    explicit DialogModel(Runtime& rt) : rt_(rt), v_(rt.media.volume) {}

    bool masterPercent(int32_t& p) override { return v_.percent(p); }
    bool setMasterPercent(int32_t p) override {
        v_.lastVolume = p;
        return v_.setPercent(p);
    }
    bool mute(bool& on) override { return v_.mute(on); }
    bool toggleMute() override { return v_.toggleMute(); }
    bool waveDevice() override {
        // A failing check also disables the wave player, as at start-up.
        if (rt_.platform.audio()) return true;
        rt_.media.wave.enabled = 0;
        return false;
    }
    bool waveVolume(uint16_t& level) override { return v_.waveLevel(level); }
    bool setWaveVolume(uint16_t level) override { return v_.setWaveLevel(level); }

private:
    Runtime& rt_;
    Volume& v_;
};

}  // namespace

void showVolumeDialog(Runtime& rt) {
    DialogModel model(rt);
    rt.platform.showVolumeDialog(model);
}

}  // namespace yv::media
