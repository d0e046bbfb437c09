// What a link does, free of any toolkit: the target a click opens, the colours of a press and
// its release, the click and the copy.  Each face (Qt, Win32) turns its own mouse, menu and
// screen reader events into the calls below and supplies what only it can do through LinkFace:
// its font colour, its click event, the shell's "open" and the clipboard.
//
// Texts are UTF-16, which both faces speak; colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace bukvotok {

using LinkColor = std::uint32_t;

inline constexpr LinkColor kLinkColor = 0xFF0000;        // blue
inline constexpr LinkColor kLinkActiveColor = 0x800080;  // purple

// `text` without the characters of codes 0 to 32 at either end: a target padded with control
// characters is as blank as one padded with spaces.
std::u16string_view TrimBlank(std::u16string_view text);

// What a click opens: `url` as written when it is not blank, else the caption as written; empty
// when both are blank.
std::u16string LinkTarget(std::u16string_view url, std::u16string_view caption);

// What a link needs of its toolkit.  Abstract so that the behaviour can be driven without one.
class LinkFace {
public:
    virtual ~LinkFace() = default;

    virtual std::u16string Caption() const = 0;
    virtual LinkColor FontColor() const = 0;
    virtual void SetFontColor(LinkColor color) = 0;
    // The label's own click event.  False when a receiver destroyed the link: nothing of it may
    // be touched afterwards.
    virtual bool RaiseClicked() = 0;
    // The shell's "open".  Whatever it does with the target is its own business: the link
    // neither looks at the outcome nor reports a failure.  False, like RaiseClicked, when the
    // link did not survive it.
    virtual bool Open(const std::u16string& target) = 0;
    // Replaces the clipboard's contents; raises ClipboardError when it cannot be had.
    virtual void PutOnClipboard(const std::u16string& text) = 0;
};

class LinkBehaviour {
public:
    explicit LinkBehaviour(LinkFace& face) : face_(face) {}
    LinkBehaviour(const LinkBehaviour&) = delete;
    LinkBehaviour& operator=(const LinkBehaviour&) = delete;

    const std::u16string& URL() const { return url_; }
    void SetURL(std::u16string url) { url_ = std::move(url); }
    LinkColor ActiveColor() const { return active_color_; }
    void SetActiveColor(LinkColor color) { active_color_ = color; }
    // The colour the last left press found, which its release restores.
    LinkColor SavedColor() const { return saved_color_; }

    std::u16string Target() const;

    // A left press on the link.  The second press of a double click lights the link as well,
    // but its release opens nothing: the first click already did.
    void LeftPress() { BeginPress(true); }
    void LeftDoubleClick() { BeginPress(false); }
    // A left release that reaches the link, `inside` it or not.  The click, when the release
    // completes one, runs before the colour goes back, so the link stays lit while its target
    // opens.  A release without a press of ours before it has no colour to go back to.
    // False when the click destroyed the link.
    bool LeftRelease(bool inside);
    // What a click does, for assistive technology: no button is involved, so the colour stays.
    // False when the click destroyed the link.
    bool Activate() { return Click(); }
    // The caption, not the URL; raises what the clipboard raises.
    void Copy() const { face_.PutOnClipboard(face_.Caption()); }

private:
    void BeginPress(bool can_click);
    bool Click();

    LinkFace& face_;
    std::u16string url_;
    LinkColor active_color_ = kLinkActiveColor;
    LinkColor saved_color_ = 0;
    bool pressed_ = false;
    bool press_can_click_ = false;
};

}  // namespace bukvotok
