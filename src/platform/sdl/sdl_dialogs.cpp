// The text-entry boxes and the message history list, drawn as ImGui modal dialogs.
#include <imgui.h>

#include <algorithm>
#include <cstring>

#include "core/cp932.h"
#include "platform/sdl/sdl_ui.h"
#include "platform/sdl/text_wrap.h"

namespace yv {
namespace {

const char* kOk = "OK";
const char* kDefault = "デフォルト";

size_t cp932Length(std::string_view utf8) { return utf8ToCp932(utf8).size(); }

std::string utf8Of(ImWchar c) {
    char out[5] = {};
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
    } else if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Keeps a field to what the script can receive: characters that have a CP932 form, and no more
// CP932 bytes than the limit (typing or pasting past it is cut back to the limit).
int fieldCallback(ImGuiInputTextCallbackData* data) {
    auto* f = static_cast<DialogField*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) {
        const ImWchar c = data->EventChar;
        if (c < 0x20 || c == 0xFFFD) return 1;
        return c != '?' && utf8ToCp932(utf8Of(c)) == "?" ? 1 : 0;
    }
    if (data->EventFlag != ImGuiInputTextFlags_CallbackEdit) return 0;
    size_t bytes = cp932Length(std::string_view(data->Buf, static_cast<size_t>(data->BufTextLen)));
    if (f->maxBytes > 0) {
        const auto limit = static_cast<size_t>(f->maxBytes);
        // A text longer than the limit from the start may shrink, never grow.
        while (bytes > limit && bytes > f->lastBytes && data->CursorPos > 0) {
            int start = data->CursorPos - 1;
            while (start > 0 && (static_cast<unsigned char>(data->Buf[start]) & 0xC0) == 0x80) --start;
            data->DeleteChars(start, data->CursorPos - start);
            bytes = cp932Length(std::string_view(data->Buf, static_cast<size_t>(data->BufTextLen)));
        }
    }
    f->lastBytes = bytes;
    return 0;
}

}  // namespace

void DialogField::setText(const std::string& utf8) {
    // Each CP932 byte stands for at most three UTF-8 bytes ('?' for four).
    size_t room = maxBytes > 0 ? static_cast<size_t>(maxBytes) * 4 : 32768;
    room = std::max(room, utf8.size()) + 1;
    buf.assign(room, '\0');
    std::memcpy(buf.data(), utf8.data(), utf8.size());
    lastBytes = cp932Length(utf8);
}

void SdlUi::prepareDialog(const DialogRequest& d) {
    std::string all = d.caption + d.text + d.composition;
    for (const DialogField& f : d.fields) all += f.label + f.defaultText + f.text();
    for (const std::string& l : d.lines) all += l;
    for (const LoadDialogSlot& sl : d.slots) all += cp932ToUtf8(sl.caption);
    if (d.kind == DialogRequest::Kind::Volume) all += "出力ﾏｽﾀｰ音量全ﾐｭｰﾄWave出力：MAIN->音量変更WAVEwave_out set volume error";
    ensureGlyphs(all);
}

void SdlUi::drawInputDialog(DialogRequest& d) {
    if (!beginDialogWindow(d)) return;
    const bool four = d.fields.size() > 1;
    const float fieldWidth = four ? fontPx_ * 7.5f : fontPx_ * 20;
    ImGui::Dummy(ImVec2(0, 2));
    for (size_t k = 0; k < d.fields.size(); ++k) {
        DialogField& f = d.fields[k];
        if (k) ImGui::SameLine();
        ImGui::BeginGroup();
        ImGui::PushID(static_cast<int>(k));
        ImGui::TextUnformatted(f.label.c_str());
        ImGui::SetNextItemWidth(fieldWidth);
        if (d.focusField == static_cast<int>(k)) ImGui::SetKeyboardFocusHere();
        // A framed field, as an edit control looks, on the light dialog background.
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1.0f);
        ImGui::InputText("##field", f.buf.data(), f.buf.size(),
                         ImGuiInputTextFlags_AutoSelectAll | ImGuiInputTextFlags_CallbackCharFilter |
                             ImGuiInputTextFlags_CallbackEdit,
                         fieldCallback, &f);
        ImGui::PopStyleVar();
        const ImVec2 lo = ImGui::GetItemRectMin(), hi = ImGui::GetItemRectMax();
        const SDL_Rect r{static_cast<int>(lo.x), static_cast<int>(lo.y), static_cast<int>(hi.x - lo.x),
                         static_cast<int>(hi.y - lo.y)};
        const std::string key = "field:" + std::to_string(k);
        itemRects[key] = r;
        if (ImGui::IsItemActive()) {
            if (d.focusField == static_cast<int>(k)) d.focusField = -1;
            itemRects[key + ":active"] = r;
            d.imeRect = r;
        }
        ImGui::PopID();
        ImGui::EndGroup();
    }
    // What the input method is composing, until it hands over the finished text.
    if (!d.composition.empty()) {
        ImGui::TextColored(ImVec4(0.1f, 0.2f, 0.7f, 1), "%s", d.composition.c_str());
        const ImVec2 lo = ImGui::GetItemRectMin(), hi = ImGui::GetItemRectMax();
        ImGui::GetWindowDrawList()->AddLine(ImVec2(lo.x, hi.y), hi, IM_COL32(20, 50, 180, 255));
    }
    ImGui::Dummy(ImVec2(0, 6));
    const float bw = fontPx_ * 5.5f;
    const float total = 2 * bw + ImGui::GetStyle().ItemSpacing.x;
    ImGui::SetCursorPosX(std::max(ImGui::GetCursorPosX(), ImGui::GetWindowWidth() - total - ImGui::GetStyle().WindowPadding.x));
    bool ok = false, restore = false;
    dialogButton(d, kOk, bw, ok);
    ImGui::SameLine();
    dialogButton(d, kDefault, bw, restore);
    if (restore) {
        for (DialogField& f : d.fields) f.setText(f.defaultText);
        d.focusField = 0;
    }
    if (ok || d.enterPressed) {
        d.done = true;
        d.answer = kIdOk;
        ImGui::CloseCurrentPopup();
    }
    d.enterPressed = false;
    ImGui::EndPopup();
}

void SdlUi::drawListDialog(DialogRequest& d) {
    if (!beginDialogWindow(d)) return;
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    const ImGuiStyle& st = ImGui::GetStyle();
    // As wide as most of the window, lines wrapped to it: never a sideways scroll to read one.
    const float maxWidth = std::max(200.0f, vp->Size.x * 0.9f - 4 * st.WindowPadding.x);
    const float width = std::clamp(vp->Size.x * 0.8f, std::min(fontPx_ * 30, maxWidth), maxWidth);
    const float lineH = ImGui::GetTextLineHeightWithSpacing();
    const float height = std::max(vp->Size.y * 0.9f - 5 * lineH, 3 * lineH);
    ImGui::BeginChild("##history", ImVec2(width, std::min(height, std::max(lineH * 12, vp->Size.y * 0.6f))), true);
    {
        const ImVec2 lo = ImGui::GetWindowPos(), size = ImGui::GetWindowSize();
        itemRects["list"] = {static_cast<int>(lo.x), static_cast<int>(lo.y), static_cast<int>(size.x),
                             static_cast<int>(size.y)};
    }
    const float rowWidth = ImGui::GetContentRegionAvail().x;
    // Broken between characters, as Japanese text is: a word wrap would break only at the
    // full-width space after the name and leave it on a line of its own.
    ImFont* font = ImGui::GetFont();
    const float unit = ImGui::GetFontSize() / std::max(font->FontSize, 1.0f);
    const auto advance = [&](uint32_t cp) {
        return cp > 0xFFFF ? font->FallbackAdvanceX * unit : font->GetCharAdvance(static_cast<ImWchar>(cp)) * unit;
    };
    for (size_t i = 0; i < d.lines.size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        const bool sel = static_cast<int>(i) == d.selected;
        const float x = ImGui::GetCursorPosX();
        const std::string text = wrapToWidth(d.lines[i], rowWidth - st.ItemSpacing.x, advance);
        const float rowH = std::max(ImGui::GetTextLineHeight(), ImGui::CalcTextSize(text.c_str()).y);
        // The text is drawn on its own: a list line may hold "##", which a label would hide.
        if (ImGui::Selectable("##line", sel, 0, ImVec2(rowWidth, rowH))) d.selected = static_cast<int>(i);
        if (sel && d.scrollToSelected) {
            ImGui::SetScrollHereY(0.5f);
            d.scrollToSelected = false;
        }
        const ImVec2 lo = ImGui::GetItemRectMin();
        itemRects["line:" + std::to_string(i)] = {static_cast<int>(lo.x), static_cast<int>(lo.y),
                                                  static_cast<int>(rowWidth), static_cast<int>(rowH)};
        ImGui::SameLine(x);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopID();
    }
    ImGui::EndChild();
    ImGui::Dummy(ImVec2(0, 4));
    const float bw = fontPx_ * 5;
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - bw) * 0.5f);
    bool ok = false;
    dialogButton(d, kOk, bw, ok);
    if (ok) d.done = true;
    if (d.done) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

}  // namespace yv
