#include "settings_layout.h"

namespace {

constexpr ColorRef Page = 0xFAF7F2;
constexpr ColorRef HeaderBand = 0x2D1D0C;
constexpr ColorRef Accent = 0xD3BC1C;
constexpr ColorRef Card = 0xFFFFFF;
constexpr ColorRef TitleOnBand = 0xFFFBF3;
constexpr ColorRef SubtitleOnBand = 0xCDBD97;
constexpr ColorRef Heading = 0x443418;
constexpr ColorRef Caption = 0x75684F;
constexpr ColorRef Divider = 0xEDE8DD;
constexpr ColorRef Footer = 0x7D725B;
constexpr ColorRef FooterDivider = 0xE8E1D3;

constexpr std::size_t Background = 0, Text = 1, Muted = 2, Selection = 3, SelectedText = 4,
                      Border = 5;

PaintStep Fill(PixelRect rect, ColorRef color) {
    PaintStep step;
    step.kind = PaintKind::Fill;
    step.rect = rect;
    step.fixedColor = color;
    return step;
}

PaintStep ThemeFill(PixelRect rect, std::size_t slot) {
    PaintStep step = Fill(rect, 0);
    step.themeSlot = slot;
    return step;
}

PaintStep Label(const wchar_t* text, PixelRect rect, ColorRef color, PaintFont font) {
    PaintStep step;
    step.kind = PaintKind::Text;
    step.rect = rect;
    step.fixedColor = color;
    step.text = text;
    step.font = font;
    return step;
}

PaintStep ThemeLabel(const wchar_t* text, PixelRect rect, std::size_t slot, PaintFont font) {
    PaintStep step = Label(text, rect, 0, font);
    step.themeSlot = slot;
    return step;
}

}  // namespace

std::array<PaintStep, PaintStepCount> SettingsPaintSteps(int clientRight, int clientBottom) {
    PaintStep frame = ThemeFill(PreviewBoxRect, Border);
    frame.kind = PaintKind::Frame;
    return {
        Fill({0, 0, clientRight, clientBottom}, Page),
        Fill({0, 0, clientRight, 91}, HeaderBand),
        Fill({0, 87, clientRight, 91}, Accent),
        Fill({21, 110, 337, 570}, Card),
        Fill({348, 110, 679, 570}, Card),
        Label(L"悠然輸入法  /  啟明星", {25, 12, 600, 53}, TitleOnBand, PaintFont::Title),
        Label(L"Mo_Input_Ka     個人化輸入體驗", {27, 51, 600, 80}, SubtitleOnBand,
              PaintFont::Body),
        Label(L"輸入行為", {40, 122, 320, 159}, Heading, PaintFont::Title),
        Label(L"中英文切換鍵", {42, 159, 310, 188}, Caption, PaintFont::Body),
        Label(L"跟隨方式", {42, 280, 140, 310}, Caption, PaintFont::Body),
        Label(L"選字方式", {42, 319, 310, 347}, Caption, PaintFont::Body),
        Fill({42, 388, 314, 389}, Divider),
        Label(L"Windows 輸入法列表", {42, 398, 310, 431}, Caption, PaintFont::Body),
        Label(L"候選窗外觀", {363, 122, 660, 159}, Heading, PaintFont::Title),
        Label(L"主題與即時預覽", {363, 157, 660, 185}, Caption, PaintFont::Body),
        Label(L"配色", {363, 319, 540, 344}, Caption, PaintFont::Body),
        Label(L"字級", {551, 319, 660, 344}, Caption, PaintFont::Body),
        ThemeFill(PreviewBoxRect, Background),
        frame,
        ThemeLabel(L"悠然輸入法   1 / 2", {378, 198, 645, 229}, Muted, PaintFont::Body),
        ThemeFill({364, 230, 659, 231}, Border),
        ThemeFill(PreviewSelectionBarRect, Selection),
        ThemeLabel(L"1.  悠然輸入法", PreviewFirstRowRect, SelectedText, PaintFont::Preview),
        ThemeLabel(L"2.  啟明星候選詞", PreviewSecondRowRect, Text, PaintFont::Preview),
        Label(L"更改設定後，重新選用輸入法即可套用。", {27, 587, 505, 628}, Footer,
              PaintFont::Body),
        Fill({27, 638, 662, 639}, FooterDivider),
    };
}

PixelRect ColorButtonRect(std::size_t slot) {
    const int left = slot % 2 == 0 ? 363 : 517;
    const int top = 405 + static_cast<int>(slot / 2) * 47;
    return {left, top, left + 143, top + 34};
}

PixelRect ColorSwatchRect(const PixelRect& item) {
    return {item.left + 6, item.top + 5, item.left + 31, item.bottom - 5};
}

PixelRect ColorButtonLabelRect(const PixelRect& item) {
    return {item.left + 39, item.top, item.right - 3, item.bottom};
}
