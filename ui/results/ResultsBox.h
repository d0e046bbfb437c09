// The results box of the main window as a Qt widget: the found words, one long line that a
// search appends to at up to millions of bytes a second for hours, and that the user may edit,
// copy and save.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "EditorResults.h"
#include "ResultsEditor.h"
#include "ResultsGlyphs.h"
#include "ResultsTransfer.h"

namespace bukvotok {

// What the box does is its editor's (ResultsEditor); this widget is its Qt face: it turns Qt's
// events into the editor's calls, draws what the editor lays out with QPainter, and speaks to
// QClipboard, QMimeData and QDrag (ResultsTransfer), the input method and QAccessible
// (ResultsAccessible).  The members below that the window, tests and benchmarks use are the
// editor's, handed on.
class ResultsBox : public QAbstractScrollArea, public EditorResults, private ResultsFace {
    Q_OBJECT

public:
    static constexpr int kMargin = ResultsEditor::kMargin;

    explicit ResultsBox(QWidget* parent = nullptr);
    ~ResultsBox() override;

    ResultsEditor& Editor() { return editor_; }
    const ResultsEditor& Editor() const { return editor_; }

    // --- The text (see ResultsEditor; the window's part in EditorResults) ---
    using EditorResults::ResultsText;
    std::string ResultsText(std::size_t from, std::size_t to) const {
        return Bytes().Copy(from, to);
    }
    // The text as it is kept, to read a piece of it.  Valid until the text next changes.
    const BlockBytes& Bytes() const { return editor_.Bytes(); }
    BlockBytes Share(std::size_t from, std::size_t to) const { return editor_.Share(from, to); }
    void AppendResultsText(std::string_view bytes) { editor_.AppendResultsText(bytes); }
    static std::size_t DefaultCapacity() { return ResultsEditor::DefaultCapacity(); }
    std::size_t RoomFor(std::size_t from, std::size_t to) const {
        return editor_.RoomFor(from, to);
    }
    std::size_t MemoryBytes() const { return editor_.MemoryBytes(); }
    std::size_t Pieces() const { return Bytes().BlockCount(); }
    std::size_t HistoryBytes() const { return editor_.HistoryBytes(); }

    // --- The caret and the selection, as byte offsets into the text ---
    std::size_t CaretOffset() const { return editor_.CaretOffset(); }
    std::size_t AnchorOffset() const { return editor_.AnchorOffset(); }
    bool HasSelection() const { return editor_.HasSelection(); }
    std::size_t SelectionStart() const { return editor_.SelectionStart(); }
    std::size_t SelectionEnd() const { return editor_.SelectionEnd(); }
    void SetSelection(std::size_t anchor, std::size_t caret) {
        editor_.SetSelection(anchor, caret);
    }
    QString SelectedText() const;

    // --- The view, in the viewport's coordinates ---
    std::size_t TopOffset() { return editor_.TopOffset(); }
    int VisibleLines() const { return editor_.VisibleLines(); }
    bool ShowsEnd() { return editor_.ShowsEnd(); }
    QRect CaretRect(std::size_t offset);
    std::size_t OffsetAt(QPoint viewport_point) {
        return editor_.OffsetAt({viewport_point.x(), viewport_point.y()});
    }
    ViewLines& Lines() { return editor_.Lines(); }

    // --- Commands: each reports its own errors ---
    void Copy() { editor_.Copy(); }
    void Cut() { editor_.Cut(); }
    void Paste() { editor_.Paste(); }
    bool CanPaste() const { return editor_.CanPaste(); }
    void DeleteSelection() { editor_.DeleteSelection(); }
    void SelectAll() { editor_.SelectAll(); }
    void Undo() { editor_.Undo(); }
    void Redo() { editor_.Redo(); }
    bool CanUndo() const { return editor_.CanUndo(); }
    bool CanRedo() const { return editor_.CanRedo(); }
    void MoveSelectionTo(std::size_t at) { editor_.MoveSelectionTo(at); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    // --- ResultsFace ---
    FontMeasures Measure() const override;
    void Redraw() override { viewport()->update(); }
    void Redraw(const PixelRect& area) override;
    void StartTimer(ResultsTimer timer, int milliseconds) override;
    void StopTimer(ResultsTimer timer) override;
    bool HasFocus() const override { return hasFocus(); }
    int CaretBlinkMs() const override;
    int DragDistance() const override;
    int DoubleClickMs() const override;
    int WheelScrollLines() const override;
    PixelPoint Pointer() const override;
    void PutOnClipboard(const BlockBytes& bytes) override { transfer_.PutOnClipboard(bytes); }
    std::optional<IncomingText> ReadClipboard(ResultsClipboard clipboard) override {
        return transfer_.ReadClipboard(clipboard);
    }
    bool ClipboardHasText() const override { return transfer_.ClipboardHasText(); }
    void OfferSelection() noexcept override { transfer_.OfferSelection(); }
    DragEnd DragSelection(const BlockBytes& bytes) override {
        return transfer_.DragSelection(bytes);
    }
    bool Ask(const std::string& question) override;
    void ShowError(const char* message, bool later) noexcept override;
    void TextChanged(std::size_t at, std::size_t inserted) noexcept override;
    void CaretMoved() noexcept override;

    void MousePress(const QMouseEvent& event, int clicks);

    ResultsEditor editor_{*this};
    ResultsTransfer transfer_{*this};
    ResultsGlyphs glyphs_;
    std::array<QBasicTimer, kResultsTimers> timers_;
};

}  // namespace bukvotok
