#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Errors.h"
#include "LinkBehaviour.h"

namespace bukvotok {
namespace {

// Notes every colour shown, every open (with the colour shown at that moment) and the clipboard.
class FakeFace : public LinkFace {
public:
    std::u16string caption = u"http://bukvotok.ru";
    LinkColor color = kLinkColor;
    std::vector<LinkColor> shown;
    std::vector<std::u16string> opened;
    std::vector<LinkColor> color_while_opening;
    std::u16string clipboard = u"left over";
    bool clipboard_busy = false;
    bool open_throws = false;
    bool destroyed_by_click = false;

    std::u16string Caption() const override { return caption; }
    LinkColor FontColor() const override { return color; }
    void SetFontColor(LinkColor c) override { shown.push_back(color = c); }
    bool RaiseClicked() override { return !destroyed_by_click; }
    bool Open(const std::u16string& target) override {
        opened.push_back(target);
        color_while_opening.push_back(color);
        if (open_throws) throw std::runtime_error("no shell");
        return true;
    }
    void PutOnClipboard(const std::u16string& text) override {
        if (clipboard_busy) throw ClipboardError();
        clipboard = text;
    }
};

TEST(LinkBehaviourTest, TargetIsTheUrlUnlessBlankThenTheCaption) {
    struct Row {
        std::u16string url, caption, target;
    };
    const Row rows[] = {
        {u"", u"http://a.example", u"http://a.example"},
        {u" \t\x01\r\n ", u"http://a.example", u"http://a.example"},
        {u" http://u.example\t", u"Сайт", u" http://u.example\t"},  // untrimmed
        {u"", u"\x1f http://c.example ", u"\x1f http://c.example "},
        {u"\u00a0", u"http://a.example", u"\u00a0"},  // a no-break space is not blank
        {u" \x1f", u"\t ", u""},
        {u"", u"", u""},
    };
    for (const Row& row : rows) {
        FakeFace face;
        face.caption = row.caption;
        LinkBehaviour link(face);
        link.SetURL(row.url);
        link.LeftPress();
        ASSERT_TRUE(link.LeftRelease(true));
        const std::vector<std::u16string> expected =
            row.target.empty() ? std::vector<std::u16string>{} : std::vector{row.target};
        EXPECT_EQ(face.opened, expected);
        EXPECT_EQ(face.color_while_opening, std::vector<LinkColor>(expected.size(), 0x800080));
    }
}

TEST(LinkBehaviourTest, PressesAndReleasesLightTheLinkAndRestoreItsColour) {
    // P: left press, D: the second press of a double click, R: release inside, O: outside.
    // The colours shown: L lit, N normal.
    struct Row {
        const char* steps;
        std::size_t opens;
        const char* colours;
    };
    const Row rows[] = {
        {"PR", 1, "LN"},     {"PO", 0, "LN"}, {"PRDR", 1, "LNLN"},
        {"PRDO", 1, "LNLN"}, {"R", 0, ""},  // no press before it: no colour to go back to
        {"PPR", 1, "LLN"},  // a release lost to another window: back to the colour before both
    };
    constexpr LinkColor kNormal = 0x008000;
    constexpr LinkColor kLit = 0x0000C8;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.steps);
        FakeFace face;
        face.color = kNormal;
        LinkBehaviour link(face);
        link.SetActiveColor(kLit);
        for (const char* step = row.steps; *step != '\0'; ++step) {
            if (*step == 'P') link.LeftPress();
            if (*step == 'D') link.LeftDoubleClick();
            if (*step == 'R' || *step == 'O') {
                EXPECT_TRUE(link.LeftRelease(*step == 'R'));
            }
        }
        EXPECT_EQ(face.opened.size(), row.opens);
        EXPECT_EQ(face.color_while_opening, std::vector<LinkColor>(row.opens, kLit));
        std::vector<LinkColor> expected;
        for (const char* c = row.colours; *c != '\0'; ++c)
            expected.push_back(*c == 'L' ? kLit : kNormal);
        EXPECT_EQ(face.shown, expected);
    }
}

TEST(LinkBehaviourTest, FailuresAndTheCopy) {
    FakeFace face;
    LinkBehaviour link(face);
    link.SetURL(u"http://other.example");

    face.open_throws = true;  // stops at the link, which goes back to its colour
    link.LeftPress();
    EXPECT_TRUE(link.LeftRelease(true));
    EXPECT_EQ(face.color, kLinkColor);

    face.destroyed_by_click = true;  // nothing of the link is touched afterwards
    face.shown.clear();
    link.LeftPress();
    EXPECT_FALSE(link.LeftRelease(true));
    EXPECT_EQ(face.shown, std::vector<LinkColor>{kLinkActiveColor});
    EXPECT_EQ(face.opened.size(), 1u);

    link.Copy();  // the caption, not the URL
    EXPECT_EQ(face.clipboard, u"http://bukvotok.ru");
    face.clipboard_busy = true;
    EXPECT_THROW(link.Copy(), ClipboardError);
}

}  // namespace
}  // namespace bukvotok
