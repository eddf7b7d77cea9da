// The load dialog "ろーど": "はじめから" and the 31 slots with their captions and pictures, the
// slots without a file greyed, and the OK button "ろーど".
#include <imgui.h>

#include <algorithm>
#include <string>

#include "core/cp932.h"
#include "platform/sdl/sdl_ui.h"

namespace yv {

void SdlUi::drawLoadDialog(DialogRequest& d) {
    if (!beginDialogWindow(d)) return;
    dropUnusedTextures();
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    const ImGuiStyle& st = ImGui::GetStyle();
    // Each slot is a cell: its picture, and under it the choice with the slot caption.
    const float captionW =
        ImGui::CalcTextSize("30:  0000/00/00 00:00:00").x + ImGui::GetFrameHeight() + st.ItemInnerSpacing.x;
    const float thumbH = std::round(fontPx_ * 3.5f);
    const float thumbW = std::round(thumbH * 4 / 3);
    const float cellW = std::max(thumbW, captionW);
    const float gap = st.ItemSpacing.x * 3;
    const float cellH = thumbH + st.ItemSpacing.y + ImGui::GetFrameHeight() + st.ItemSpacing.y * 2;
    const float maxW = vp->Size.x * 0.9f - 4 * st.WindowPadding.x - st.ScrollbarSize;
    const int n = static_cast<int>(d.slots.size());
    const int cols = std::clamp(static_cast<int>((maxW + gap) / (cellW + gap)), 1, 4);
    const int rows = (n + cols - 1) / cols;
    const float lineH = ImGui::GetFrameHeightWithSpacing();
    const float wanted = rows * cellH + 2 * st.WindowPadding.y;
    const float height = std::max(cellH + 2 * st.WindowPadding.y, std::min(wanted, vp->Size.y * 0.9f - 6 * lineH));

    // The group box "Load"; choices on a light grey so that their circles show.
    ImGui::TextUnformatted("Load");
    ImGui::PushStyleColor(ImGuiCol_FrameBg, IM_COL32(222, 222, 222, 255));
    ImGui::BeginChild("##slots", ImVec2(cols * cellW + (cols - 1) * gap + 2 * st.WindowPadding.x + st.ScrollbarSize, height),
                      true);
    auto record = [&](const std::string& key) {
        const ImVec2 lo = ImGui::GetItemRectMin(), hi = ImGui::GetItemRectMax();
        itemRects[key] = {static_cast<int>(lo.x), static_cast<int>(lo.y), static_cast<int>(hi.x - lo.x),
                          static_cast<int>(hi.y - lo.y)};
    };
    if (ImGui::RadioButton("はじめから", d.selected == -1)) d.selected = -1;
    record("radio:start");
    ImGui::Separator();
    for (int i = 0; i < n; ++i) {
        const LoadDialogSlot& sl = d.slots[static_cast<size_t>(i)];
        ImGui::PushID(i);
        if (i % cols) ImGui::SameLine(0, gap);
        ImGui::BeginGroup();
        ImGui::BeginDisabled(!sl.exists);
        const ImVec2 at = ImGui::GetCursorScreenPos();
        const ImVec2 box(at.x + (cellW - thumbW) / 2, at.y);
        if (void* tex = sl.exists ? textureFor(sl.thumbnail) : nullptr) {
            // Fitted into the box, keeping the picture's shape.
            const float k = std::min(thumbW / sl.thumbnail->width, thumbH / sl.thumbnail->height);
            const ImVec2 size(sl.thumbnail->width * k, sl.thumbnail->height * k);
            ImGui::SetCursorScreenPos(ImVec2(box.x + (thumbW - size.x) / 2, box.y + (thumbH - size.y) / 2));
            ImGui::Image(tex, size);
            if (ImGui::IsItemClicked()) d.selected = i;
        }
        ImGui::GetWindowDrawList()->AddRect(box, ImVec2(box.x + thumbW, box.y + thumbH), IM_COL32(150, 150, 150, 255));
        ImGui::SetCursorScreenPos(ImVec2(at.x, at.y + thumbH + st.ItemSpacing.y));
        const std::string caption = cp932ToUtf8(sl.caption);
        if (ImGui::RadioButton(caption.c_str(), d.selected == i) && sl.exists) d.selected = i;
        record("radio:" + std::to_string(i));
        ImGui::SetCursorScreenPos(at);
        ImGui::Dummy(ImVec2(cellW, cellH - st.ItemSpacing.y));
        ImGui::EndDisabled();
        ImGui::EndGroup();
        ImGui::PopID();
    }
    ImGui::EndChild();
    ImGui::PopStyleColor();
    ImGui::Dummy(ImVec2(0, 4));
    const float bw = fontPx_ * 5;
    ImGui::SetCursorPosX(std::max(ImGui::GetCursorPosX(), ImGui::GetWindowWidth() - bw - st.WindowPadding.x));
    bool ok = false;
    dialogButton(d, "ろーど", bw, ok);
    if (ok) {
        d.answer = d.selected;
        d.done = true;
    }
    if (d.done) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

}  // namespace yv
