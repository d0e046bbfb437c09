// What the results box's editor (ResultsEditor) needs of its toolkit, and the plain values the
// two speak in.  Each toolkit's box (the Qt widget, the Win32 window class) implements
// ResultsFace: it measures its font, draws, runs timers, holds the clipboards, starts drags,
// asks the user and tells assistive technology; the editor decides everything else.  Abstract
// so that the editor can be driven without a toolkit, as its tests do.
//
// Geometry is in integer pixels of the area the text is drawn in; texts the face shows (errors,
// questions) are UTF-8, texts it hands in are UTF-16, and the box's own bytes stay
// Windows-1251 in shared blocks on their way through the clipboard and drags.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "BlockBytes.h"

namespace bukvotok {

struct PixelPoint {
    int x = 0;
    int y = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Bottom() const { return top + height - 1; }
    bool operator==(const PixelRect&) const = default;
};

// The face's font as the editor lays text out with it.
struct FontMeasures {
    std::array<float, 256> advance{};  // each byte's character, in pixels; CR and LF unused
    int line_height = 13;
    float ascent = 10;  // from a line's top to its baseline
};

// The timers the editor asks the face to run: each fires TimerFired with its name, again and
// again at its interval, until stopped.
enum class ResultsTimer {
    kFrame,        // takes in the lines laid out behind, and shows appended words
    kCaretBlink,   // every half period of the blink
    kAutoscroll,   // while a selecting drag is above or below the view
    kRelease,      // frees the memory of a text let go, a part at a time
    kTripleClick,  // a press within it after a double click is a third click
};
inline constexpr std::size_t kResultsTimers = 5;

// The system's clipboard, and the selection a middle click pastes (X11's; none on Windows).
enum class ResultsClipboard { kClipboard, kSelection };

// Text that comes in from a clipboard or a drop: the box's own bytes as they are, or another
// program's text, which `keeper` holds while the editor reads it.
struct IncomingText {
    std::optional<BlockBytes> own;
    std::u16string_view text;
    std::shared_ptr<const void> keeper;
};

// How a drag of the selection ended.
enum class DragEnd { kNothing, kCopied, kMovedWithin, kMovedAway };

// What a paint draws with: a fill or a run of text in one of the face's colours.
enum class Ink { kText, kSelectedText, kHighlight };
struct FloatRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};
class ResultsSurface {
public:
    virtual ~ResultsSurface() = default;
    virtual void Fill(const FloatRect& area, Ink ink) = 0;
    // Windows-1251 bytes with no CR, LF or tab, each letter where its advance puts it.
    virtual void DrawText(float left, float baseline, std::string_view bytes, Ink ink) = 0;
};

class ResultsFace {
public:
    virtual ~ResultsFace() = default;

    virtual FontMeasures Measure() const = 0;
    virtual void Redraw() = 0;
    virtual void Redraw(const PixelRect& area) = 0;
    virtual void StartTimer(ResultsTimer timer, int milliseconds) = 0;
    virtual void StopTimer(ResultsTimer timer) = 0;
    virtual bool HasFocus() const = 0;
    // The system's settings: half the caret's blink (0: no blink), how far a press moves before
    // it drags, a double click's interval, the lines a wheel's notch scrolls.
    virtual int CaretBlinkMs() const = 0;
    virtual int DragDistance() const = 0;
    virtual int DoubleClickMs() const = 0;
    virtual int WheelScrollLines() const = 0;
    // Where the pointer is now, for the autoscroll.
    virtual PixelPoint Pointer() const = 0;

    // The clipboard's content replaced by these bytes; raises when it cannot be.
    virtual void PutOnClipboard(const BlockBytes& bytes) = 0;
    // The text a clipboard holds; nothing when it holds none.  Raises ResultsNotReceivedError
    // when another program offered text that never came.
    virtual std::optional<IncomingText> ReadClipboard(ResultsClipboard clipboard) = 0;
    virtual bool ClipboardHasText() const = 0;
    // Makes the selection, whatever it is when asked, what a middle click elsewhere pastes.
    virtual void OfferSelection() noexcept = 0;
    // Drags these bytes away, and says how the drag ended; a drop within the box comes to the
    // editor's Drop meanwhile.
    virtual DragEnd DragSelection(const BlockBytes& bytes) = 0;

    // A question with "Да" and "Нет": true for "Да".
    virtual bool Ask(const std::string& question) = 0;
    // The error box, now, or once the event loop is back when `later` (from a paint).
    virtual void ShowError(const char* message, bool later) noexcept = 0;
    // The text changed at `at`, with `inserted` bytes put in there.
    virtual void TextChanged(std::size_t at, std::size_t inserted) noexcept = 0;
    // The caret moved, in the text or on screen as the view scrolled or its lines were laid out
    // anew: the input method's window goes where it now is (CaretRect).
    virtual void CaretMoved() noexcept = 0;
    // What assistive technology reads as the value (ResultsEditor::ValueSpan) may be different
    // now: told at most once a frame, however many words a search appends meanwhile.  A face
    // whose readers ask for the text itself lets it pass.
    virtual void ValueChanged() noexcept {}
};

}  // namespace bukvotok
