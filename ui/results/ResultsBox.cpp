#include "ResultsBox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputMethod>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

#include "Cp1251.h"
#include "Question.h"
#include "ResultsAccessible.h"
#include "ResultsCodec.h"
#include "ResultsContextMenu.h"
#include "ShowError.h"

namespace bukvotok {

ResultsBox::ResultsBox(QWidget* parent) : QAbstractScrollArea(parent), EditorResults(editor_) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    ResultsAccessible::Install();
    editor_.SetGeometry(viewport()->width(), viewport()->height());
}

ResultsBox::~ResultsBox() = default;

QString ResultsBox::SelectedText() const {
    return DecodeResults(Bytes().Copy(SelectionStart(), SelectionEnd()));
}

QRect ResultsBox::CaretRect(std::size_t offset) {
    const PixelRect caret = editor_.CaretRect(offset);
    return QRect(caret.left, caret.top, caret.width, caret.height);
}

// --- ResultsFace ---

FontMeasures ResultsBox::Measure() const {
    const QFontMetricsF metrics(font());
    FontMeasures measures;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n') continue;
        const auto unit = Cp1251ToUnicode(static_cast<unsigned char>(byte));
        measures.advance[byte] = static_cast<float>(metrics.horizontalAdvance(QChar(unit)));
    }
    measures.line_height = static_cast<int>(std::ceil(metrics.lineSpacing()));
    measures.ascent = static_cast<float>(metrics.ascent());
    return measures;
}

void ResultsBox::Redraw(const PixelRect& area) {
    viewport()->update(QRect(area.left, area.top, area.width, area.height));
}

void ResultsBox::StartTimer(ResultsTimer timer, int milliseconds) {
    timers_[static_cast<std::size_t>(timer)].start(milliseconds, this);
}

void ResultsBox::StopTimer(ResultsTimer timer) { timers_[static_cast<std::size_t>(timer)].stop(); }

int ResultsBox::CaretBlinkMs() const { return QApplication::cursorFlashTime() / 2; }
int ResultsBox::DragDistance() const { return QApplication::startDragDistance(); }
int ResultsBox::DoubleClickMs() const { return QApplication::doubleClickInterval(); }
int ResultsBox::WheelScrollLines() const { return QApplication::wheelScrollLines(); }

PixelPoint ResultsBox::Pointer() const {
    const QPoint point = viewport()->mapFromGlobal(QCursor::pos());
    return {point.x(), point.y()};
}

bool ResultsBox::Ask(const std::string& question) {
    return AskQuestion(QString::fromStdString(question));
}

void ResultsBox::ShowError(const char* message, bool later) noexcept {
    try {
        if (!later) return bukvotok::ShowError(message);
        // A paint cannot open a dialog: the box says so once the event loop is back.
        QTimer::singleShot(0, this, [text = std::string(message)] { bukvotok::ShowError(text); });
    } catch (...) {
        // Not even the message could be made: the program goes on without it.
    }
}

void ResultsBox::TextChanged(std::size_t at, std::size_t inserted) noexcept {
    ResultsAccessible::TextChanged(*this, at, inserted);
}

void ResultsBox::CaretMoved() noexcept {
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

// --- Qt's events ---

void ResultsBox::paintEvent(QPaintEvent* event) {
    // QPainter's face of the editor's drawing: the letters stand where their advances put them.
    class Surface : public ResultsSurface {
    public:
        Surface(QWidget& widget, ResultsGlyphs& glyphs, const LineLayout& layout)
            : painter_(&widget), palette_(widget.palette()), glyphs_(glyphs), layout_(layout) {
            QFont font = widget.font();
            font.setKerning(false);
            painter_.setFont(font);
            glyphs_.Use(font);
        }
        void Fill(const FloatRect& area, Ink ink) override {
            painter_.fillRect(QRectF(area.left, area.top, area.width, area.height),
                              palette_.brush(Role(ink)));
        }
        void DrawText(float left, float baseline, std::string_view bytes, Ink ink) override {
            painter_.setPen(palette_.color(Role(ink)));
            if (glyphs_.Draw(painter_, left, baseline, bytes, layout_)) return;
            painter_.drawText(QPointF(left, baseline), DecodeResults(bytes));
        }

    private:
        static QPalette::ColorRole Role(Ink ink) {
            switch (ink) {
                case Ink::kSelectedText:
                    return QPalette::HighlightedText;
                case Ink::kHighlight:
                    return QPalette::Highlight;
                case Ink::kText:
                    break;
            }
            return QPalette::Text;
        }
        QPainter painter_;
        QPalette palette_;
        ResultsGlyphs& glyphs_;
        const LineLayout& layout_;
    };
    editor_.Guarded(
        [&] {
            Surface surface(*viewport(), glyphs_, editor_.Lines().Layout());
            const QRect area = event->rect();
            editor_.Paint(surface, {area.left(), area.top(), area.width(), area.height()});
        },
        true);
}

void ResultsBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    editor_.SetGeometry(viewport()->width(), viewport()->height());
}

void ResultsBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        editor_.SetGeometry(viewport()->width(), viewport()->height());
    }
}

void ResultsBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    editor_.FocusChanged(true);
}

void ResultsBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    editor_.FocusChanged(false);
}

void ResultsBox::timerEvent(QTimerEvent* event) {
    for (std::size_t timer = 0; timer < timers_.size(); ++timer) {
        if (event->timerId() == timers_[timer].timerId()) {
            editor_.TimerFired(static_cast<ResultsTimer>(timer));
            return;
        }
    }
    QAbstractScrollArea::timerEvent(event);
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    editor_.Guarded([&] { ExecResultsContextMenu(*this, event->globalPos()); });
}

void ResultsBox::dragEnterEvent(QDragEnterEvent* event) {
    editor_.Guarded([&] { transfer_.DragEnter(event); });
}

void ResultsBox::dragMoveEvent(QDragMoveEvent* event) {
    editor_.Guarded([&] { transfer_.DragMove(event); });
}

void ResultsBox::dragLeaveEvent(QDragLeaveEvent*) {
    editor_.Guarded([&] { transfer_.DragLeave(); });
}

void ResultsBox::dropEvent(QDropEvent* event) {
    editor_.Guarded([&] { transfer_.Drop(event); });
}

}  // namespace bukvotok
