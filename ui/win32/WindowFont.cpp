#include "WindowFont.h"

#include <cwchar>

#include "Dpi.h"

namespace bukvotok::win32 {

namespace {

constexpr int kDesignHeight = -11;  // character height in pixels, at 96 ppi

// In order of preference; the first one the system has in its Cyrillic set is taken.  The
// bitmap face only at the size it was drawn for.
constexpr const wchar_t* kScalableFaces[] = {L"Microsoft Sans Serif", L"Tahoma", L"Arial"};
constexpr const wchar_t* kDesignFace = L"MS Sans Serif";

FontHandle CreateFace(const wchar_t* face, int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = RUSSIAN_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return FontHandle(::CreateFontIndirectW(&font));
}

// Whether the system gave the face asked for, in the Cyrillic set, rather than a substitute.
bool IsGenuine(HFONT font, const wchar_t* face) {
    const WindowDc screen(nullptr);
    if (screen.Get() == nullptr) return false;
    const SelectedObject selected(screen.Get(), font);
    wchar_t name[LF_FACESIZE] = {};
    return ::GetTextFaceW(screen.Get(), LF_FACESIZE, name) > 0 && ::_wcsicmp(name, face) == 0 &&
           ::GetTextCharset(screen.Get()) == RUSSIAN_CHARSET;
}

}  // namespace

FontHandle CreateWindowFont(int dpi) {
    const int height = Scale(kDesignHeight, dpi);
    if (dpi == kDesignDpi) {
        FontHandle font = CreateFace(kDesignFace, height);
        if (font && IsGenuine(font.Get(), kDesignFace)) return font;
    }
    for (const wchar_t* face : kScalableFaces) {
        FontHandle font = CreateFace(face, height);
        if (font && IsGenuine(font.Get(), face)) return font;
    }
    // Whatever the system makes of the first scalable face: still a sans face of that height.
    return CreateFace(kScalableFaces[0], height);
}

FontHandle CreateUnderlinedFont(HFONT font) {
    LOGFONTW description{};
    if (font == nullptr || ::GetObjectW(font, sizeof description, &description) == 0) {
        return {};
    }
    description.lfUnderline = TRUE;
    return FontHandle(::CreateFontIndirectW(&description));
}

}  // namespace bukvotok::win32
