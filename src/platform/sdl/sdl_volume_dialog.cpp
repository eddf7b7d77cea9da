// The volume dialog "ﾎﾞﾘｭｰﾑ設定": the master volume with its mute switch and the wave volume,
// each on a vertical slider whose top is the loudest. Dragging changes the volume at once.
#include <imgui.h>

#include <algorithm>
#include <string>

#include "platform/sdl/sdl_ui.h"

namespace yv {
namespace {

const char* kMasterChanged = "出力：MAIN -> 音量変更";
const char* kWaveChanged = "出力：WAVE -> 音量変更";
const char* kNoDevice = "no sound device";

}  // namespace

void SdlUi::prepareVolumeDialog(DialogRequest& d) {
    DialogRequest::VolumeControls& v = d.vol;
    VolumeDialogModel& m = *d.volume;
    int32_t percent = 0;
    v.muteOn = m.mute(v.muted);
    v.masterOn = m.masterPercent(percent);
    v.master = std::clamp(percent, 0, 100);
    uint16_t level = 0;
    const bool device = m.waveDevice();
    v.waveOn = device && m.waveVolume(level);
    v.wave = level;
    v.waveMuteOn = false;
    // Everything greyed needs a word why.
    if (!device) v.status = kNoDevice;
}

void SdlUi::drawVolumeDialog(DialogRequest& d) {
    if (!beginDialogWindow(d)) return;
    DialogRequest::VolumeControls& v = d.vol;
    VolumeDialogModel& m = *d.volume;
    const float colWidth = fontPx_ * 7;
    const ImVec2 sliderSize(fontPx_ * 1.6f, fontPx_ * 10);
    auto note = [&](const char* key) {
        const ImVec2 lo = ImGui::GetItemRectMin(), hi = ImGui::GetItemRectMax();
        itemRects[key] = {static_cast<int>(lo.x), static_cast<int>(lo.y), static_cast<int>(hi.x - lo.x),
                          static_cast<int>(hi.y - lo.y)};
    };
    auto centred = [&](const char* text) {
        const float w = ImGui::CalcTextSize(text).x;
        ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(0.0f, (colWidth - w) * 0.5f));
        ImGui::TextUnformatted(text);
    };
    auto centreItem = [&](float w) { ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(0.0f, (colWidth - w) * 0.5f)); };

    // The light style draws frames white on the white dialog: the slider tracks and the boxes
    // get a grey ground and a border, so that they show before the pointer comes to them.
    ImGui::PushStyleColor(ImGuiCol_FrameBg, IM_COL32(214, 214, 214, 255));
    ImGui::PushStyleColor(ImGuiCol_FrameBgHovered, IM_COL32(196, 208, 228, 255));
    ImGui::PushStyleColor(ImGuiCol_FrameBgActive, IM_COL32(180, 198, 226, 255));
    ImGui::PushStyleColor(ImGuiCol_Border, IM_COL32(128, 128, 128, 255));
    ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1.0f);
    // The percent goes under the slider, where the thumb never covers it.
    auto valueLine = [&](const char* text) {
        const float w = ImGui::CalcTextSize(text).x;
        ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(0.0f, (colWidth - w) * 0.5f));
        ImGui::TextUnformatted(text);
    };

    ImGui::Dummy(ImVec2(0, 2));
    // The master volume.
    ImGui::BeginGroup();
    centred("出力ﾏｽﾀｰ");
    centred("音量");
    ImGui::BeginDisabled(!v.masterOn);
    centreItem(sliderSize.x);
    if (ImGui::VSliderInt("##master", sliderSize, &v.master, 0, 100, "")) m.setMasterPercent(v.master);
    note("slider:master");
    if (ImGui::IsItemDeactivatedAfterEdit()) {
        m.setMasterPercent(v.master);
        v.status = kMasterChanged;
    }
    // No number for a volume that cannot be read.
    valueLine(v.masterOn ? std::to_string(v.master).c_str() : " ");
    note("value:master");
    ImGui::EndDisabled();
    ImGui::BeginDisabled(!v.muteOn);
    centreItem(ImGui::CalcTextSize("全ﾐｭｰﾄ").x + ImGui::GetFrameHeight() + ImGui::GetStyle().ItemInnerSpacing.x);
    if (ImGui::Checkbox("全ﾐｭｰﾄ", &v.muted)) {
        m.toggleMute();
        m.mute(v.muted);
    }
    note("check:mute");
    ImGui::EndDisabled();
    ImGui::Dummy(ImVec2(colWidth, 0));
    ImGui::EndGroup();

    ImGui::SameLine();
    // The wave volume.
    ImGui::BeginGroup();
    centred("Wave");
    centred("音量");
    ImGui::BeginDisabled(!v.waveOn);
    centreItem(sliderSize.x);
    // The level is 16 bits; the slider shows it as it is, with the top the loudest.
    if (ImGui::VSliderInt("##wave", sliderSize, &v.wave, 0, 65535, "")) m.setWaveVolume(static_cast<uint16_t>(v.wave));
    note("slider:wave");
    if (ImGui::IsItemDeactivatedAfterEdit()) {
        v.status = m.setWaveVolume(static_cast<uint16_t>(v.wave)) ? kWaveChanged : "wave_out set volume error";
    }
    valueLine(" ");  // level with the master's number
    ImGui::EndDisabled();
    ImGui::BeginDisabled(!v.waveMuteOn);
    bool waveMute = false;
    centreItem(ImGui::CalcTextSize("ﾐｭｰﾄ").x + ImGui::GetFrameHeight() + ImGui::GetStyle().ItemInnerSpacing.x);
    ImGui::Checkbox("ﾐｭｰﾄ", &waveMute);
    ImGui::EndDisabled();
    ImGui::Dummy(ImVec2(colWidth, 0));
    ImGui::EndGroup();
    ImGui::PopStyleVar();
    ImGui::PopStyleColor(4);

    ImGui::Separator();
    ImGui::TextUnformatted(v.status.empty() ? " " : v.status.c_str());
    note("status");
    note(("status:" + v.status).c_str());
    ImGui::Dummy(ImVec2(0, 4));
    const float bw = fontPx_ * 5;
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - bw) * 0.5f);
    bool ok = false;
    dialogButton(d, "OK", bw, ok);
    if (ok) d.done = true;
    if (d.done) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

}  // namespace yv
