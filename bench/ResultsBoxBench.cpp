// What the results box costs as the results grow: an append, a refresh on screen, memory per
// byte of results, saving and clearing.  Not a test: it prints numbers.
//
//   bench_results_box [MEGABYTES...]   (offscreen unless QT_QPA_PLATFORM says otherwise;
//                                        default sizes 0 1 10 100 200; memory per byte is
//                                        exact for the first size only)
//   bench_results_box --actions [MEGABYTES...]   what a user's actions cost on a box that
//                                        full (default 0 200 2147, the last the 2 GiB limit),
//                                        of a search's words and of one word repeated: each
//                                        is the action's handling and the repaint after it,
//                                        the least of three; then a change of width and the
//                                        actions right after it, while the lines are laid out
//                                        behind; resident memory per byte at 329 and 40 px is
//                                        exact for the first size only
//   bench_results_box --doubling [ROUNDS...]   " кот" pasted, then Ctrl+A, Ctrl+C, Ctrl+End,
//                                        Ctrl+V that many rounds, each doubling the text
//                                        (default 22 28: 16 MiB and 1 GiB): its pieces, memory
//                                        and what the actions cost on it then; one count a
//                                        process, for the memory
//   bench_results_box --screen-reader [MEGABYTES]   a screen reader's questions on a box that
//                                        full (default 2047): the time and the memory each
//                                        takes, and Qt's own answer on a smaller box
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "Cp1251.h"
#include "ResidentMemory.h"
#include "ResultsBox.h"
#include "ResultsFile.h"
#include "ShowError.h"

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Settle() {
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 50) QCoreApplication::processEvents();
}

// Appends as a search makes them, in bursts of a frame's worth of words, each burst shown.
void MeasureAt(bukvotok::ResultsBox& box, PaintCounter& counter, std::size_t megabytes,
               const QString& folder) {
    const std::string word = bukvotok::Utf8ToCp1251(" слово");
    box.SetResultsText({});
    Settle();
    const double resident_before = bukvotok::ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    const std::size_t target = megabytes * 1000 * 1000;
    while (box.ResultsSize() < target) box.AppendResultsText(word);
    const double fill_ms = Milliseconds(timer);
    Settle();
    // Memory a process gave back to its heap may be counted as resident still: run one size a
    // process for this figure.
    const double per_byte =
        target > 0 ? (bukvotok::ResidentBytes() - resident_before) / static_cast<double>(target)
                   : 0;

    std::vector<double> append_ns;
    std::vector<double> refresh_us;
    constexpr int kBursts = 50;
    constexpr int kWordsPerBurst = 20000;  // a 60th of a second at 1.2 million words a second
    for (int burst = 0; burst < kBursts; ++burst) {
        timer.restart();
        for (int i = 0; i < kWordsPerBurst; ++i) box.AppendResultsText(word);
        append_ns.push_back(static_cast<double>(timer.nsecsElapsed()) / kWordsPerBurst);
        // The refresh falls due a frame after the first append; only its own work is timed.
        QThread::msleep(20);
        const int paints = counter.paints;
        timer.restart();
        while (counter.paints == paints) QCoreApplication::processEvents();
        refresh_us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    }

    const QString path = folder + QStringLiteral("/results.txt");
    timer.restart();
    bukvotok::SaveResultsFile(QFile::encodeName(path).toStdString(), box.ResultsPieces());
    const double save_ms = Milliseconds(timer);
    timer.restart();
    box.Clear();
    const double clear_ms = Milliseconds(timer);
    QFile::remove(path);

    std::printf(
        "%4zu MB: filled in %.0f ms; append %.1f ns per word; refresh with a burst on screen "
        "%.0f us (median); memory %.2f bytes per byte of results; save %.0f ms, clear %.1f ms\n",
        megabytes, fill_ms, Median(append_ns), Median(refresh_us), per_byte, save_ms, clear_ms);
}

// A steady stream of words at a search's rate: how many screen refreshes a second it gets.
void MeasureStream(bukvotok::ResultsBox& box, PaintCounter& counter, double words_per_second) {
    const std::string word = bukvotok::Utf8ToCp1251(" слово");
    box.SetResultsText({});
    Settle();
    const int paints = counter.paints;
    QElapsedTimer timer;
    timer.start();
    double appended = 0;
    while (timer.elapsed() < 2000) {
        const double due = static_cast<double>(timer.nsecsElapsed()) / 1e9 * words_per_second;
        for (; appended < due; ++appended) box.AppendResultsText(word);
        QCoreApplication::processEvents();
    }
    std::printf("refreshes while %.1f million words a second stream in: %.0f per second\n",
                words_per_second / 1e6, (counter.paints - paints) / 2.0);
}

void Key(bukvotok::ResultsBox& box, int combined, const QString& text = {}) {
    const QKeyCombination key = QKeyCombination::fromCombined(combined);
    QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
    QApplication::sendEvent(&box, &press);
}

void Click(bukvotok::ResultsBox& box, QPoint point, QEvent::Type type) {
    QMouseEvent press(type, point, box.viewport()->mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, box.viewport()->mapToGlobal(point),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &release);
}

// An action, then the repaint that shows it, in milliseconds: the least of three, each after
// `before` and followed by `after`, so that the machine's other work counts as little as it can.
double Timed(bukvotok::ResultsBox& box, const std::function<void()>& action,
             const std::function<void()>& before = {}, const std::function<void()>& after = {}) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        if (before) before();
        QElapsedTimer timer;
        timer.start();
        action();
        box.viewport()->repaint();
        best = std::min(best, Milliseconds(timer));
        if (after) after();
    }
    return best;
}

// Until the lines laid out behind are all in.
void SettleLines(bukvotok::ResultsBox& box) {
    Settle();
    while (box.Lines().Pending()) QCoreApplication::processEvents();
}

std::vector<std::string> Cp1251Words(std::initializer_list<const char*> words) {
    std::vector<std::string> converted;
    for (const char* word : words) converted.push_back(bukvotok::Utf8ToCp1251(word));
    return converted;
}

// Words of many lengths, as a search finds them; or one word, which puts the same words on every
// line, so that an edit at the top moves every line break after it.
void Fill(bukvotok::ResultsBox& box, std::size_t megabytes, const std::vector<std::string>& words) {
    box.SetResultsText({});
    Settle();
    // Room left for the paste of a megabyte.
    const std::size_t target = std::min(megabytes * 1000 * 1000, box.Capacity() - (4 << 20));
    std::uint32_t pick = 1;
    for (;;) {
        pick = pick * 1664525 + 1013904223;
        const std::string& word = words[(pick >> 16) % words.size()];
        if (box.ResultsSize() + word.size() + 1 > target) break;
        box.AppendWord(word);
    }
}

void Wheel(bukvotok::ResultsBox& box, int delta) {
    const QPointF at(20, 20);
    QWheelEvent event(at, box.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &event);
}

// What an input method asks at every key: where the caret is, and the text around it.
void InputMethodQuery(bukvotok::ResultsBox& box) {
    QInputMethodQueryEvent query(Qt::ImCursorRectangle | Qt::ImSurroundingText |
                                 Qt::ImCursorPosition);
    QApplication::sendEvent(&box, &query);
}

void MeasureActions(bukvotok::ResultsBox& box, std::size_t megabytes, const char* text_name,
                    const std::vector<std::string>& words, const QString& folder) {
    box.resize(329, 113);
    Fill(box, megabytes, words);
    box.setFocus();
    SettleLines(box);
    const std::size_t size = box.ResultsSize();
    const double resident_full = bukvotok::ResidentBytes();
    const int ctrl = Qt::ControlModifier;
    const auto key = [&box](int combined, const QString& text = {}) {
        return [&box, combined, text] { Key(box, combined, text); };
    };
    const auto at = [&box](std::size_t offset) {
        return [&box, offset] { box.SetSelection(offset, offset); };
    };
    const auto undo = key(ctrl | Qt::Key_Z);
    const QPoint inside(box.viewport()->width() / 2, box.viewport()->height() / 2);

    struct Figure {
        const char* name;
        double ms;
    };
    std::vector<Figure> figures;
    const auto add = [&figures](const char* name, double ms) { figures.push_back({name, ms}); };
    add("Ctrl+Home", Timed(box, key(ctrl | Qt::Key_Home), at(size)));
    add("Ctrl+End", Timed(box, key(ctrl | Qt::Key_End), at(0)));
    add("PgDn", Timed(box, key(Qt::Key_PageDown), at(size / 2)));
    add("PgUp", Timed(box, key(Qt::Key_PageUp), at(size / 2)));
    add("the wheel", Timed(
                         box, [&box] { Wheel(box, -360); }, at(size / 2)));
    add("a click", Timed(
                       box, [&] { Click(box, inside, QEvent::MouseButtonPress); }, at(size / 2)));
    add("the input method's questions", Timed(box, [&box] { InputMethodQuery(box); }));
    add("letter at the top", Timed(box, key(Qt::Key_unknown, "ж"), at(0), undo));
    add("its undo", Timed(box, undo, [&] {
            at(0)();
            Key(box, Qt::Key_unknown, "ж");
        }));
    add("letter in the middle", Timed(box, key(Qt::Key_unknown, "ж"), at(size / 2), undo));
    add("its undo", Timed(box, undo, [&] {
            at(size / 2)();
            Key(box, Qt::Key_unknown, "ж");
        }));
    add("select all", Timed(box, key(ctrl | Qt::Key_A), at(0)));
    add("a letter over all", Timed(box, key(Qt::Key_unknown, "x"), key(ctrl | Qt::Key_A), undo));
    add("its undo", Timed(box, undo, [&] {
            Key(box, ctrl | Qt::Key_A);
            Key(box, Qt::Key_unknown, "x");
        }));
    const std::size_t share = size / 10 * 6;
    const auto select_share = [&box, share] { box.SetSelection(0, share); };
    double resident_deleted = 0;
    add("Delete of 60 %", Timed(box, key(Qt::Key_Delete), select_share, [&] {
            Settle();
            resident_deleted = bukvotok::ResidentBytes();
            Key(box, ctrl | Qt::Key_Z);
        }));
    add("its undo", Timed(box, undo, [&] {
            select_share();
            Key(box, Qt::Key_Delete);
        }));
    add("its redo", Timed(
                        box, key(ctrl | Qt::Key_Y),
                        [&] {
                            select_share();
                            Key(box, Qt::Key_Delete);
                            Key(box, ctrl | Qt::Key_Z);
                        },
                        undo));
    add("Очистить", Timed(
                        box, [&box] { box.Clear(); }, {}, undo));
    add("its undo", Timed(box, undo, [&box] { box.Clear(); }));
    const auto first_word = [&box] { box.SetSelection(1, 2); };
    add("drag-move of a word from the top to the end",
        Timed(
            box, [&box, size] { box.MoveSelectionTo(size); }, first_word, undo));
    add("its undo", Timed(box, undo, [&box, size] {
            box.SetSelection(1, 2);
            box.MoveSelectionTo(size);
        }));
    add("double-click",
        Timed(
            box, [&] { Click(box, inside, QEvent::MouseButtonDblClick); }, at(size / 2)));
    add("triple-click", Timed(
                            box, [&] { Click(box, inside, QEvent::MouseButtonPress); },
                            [&] {
                                at(size / 2)();
                                Click(box, inside, QEvent::MouseButtonDblClick);
                            }));
    add("Ctrl+C of all", Timed(box, key(ctrl | Qt::Key_C), key(ctrl | Qt::Key_A)));
    const QString megabyte = QString(QStringLiteral("слово ")).repeated((1 << 20) / 6);
    QApplication::clipboard()->setText(megabyte);
    add("a paste of 1 MB at the top", Timed(box, key(ctrl | Qt::Key_V), at(0), undo));
    SettleLines(box);

    // A change of width, and the actions right after it, while the lines are laid out behind:
    // each time the width changes anew.
    int width = box.width();
    const auto widen = [&box, &width] {
        width = width == 329 ? 369 : 329;
        box.resize(width, box.height());
    };
    add("a width change", Timed(box, widen));
    add("then Ctrl+End", Timed(box, key(ctrl | Qt::Key_End), [&] {
            at(0)();
            widen();
        }));
    add("then PgDn", Timed(box, key(Qt::Key_PageDown), [&] {
            at(size / 2)();
            widen();
        }));
    add("then the undo of a deletion made before it", Timed(box, undo, [&] {
            box.SetSelection(1000, 3000000);
            Key(box, Qt::Key_Delete);
            widen();
        }));
    add("then a letter at the top", Timed(
                                        box, key(Qt::Key_unknown, "ж"),
                                        [&] {
                                            at(0)();
                                            widen();
                                        },
                                        undo));
    box.resize(329, box.height());
    SettleLines(box);

    const QString path = folder + QStringLiteral("/actions.txt");
    QElapsedTimer timer;
    timer.start();
    bukvotok::SaveResultsFile(QFile::encodeName(path).toStdString(), box.ResultsPieces());
    const double save = Milliseconds(timer);
    QFile::remove(path);

    // The lines kept of the text at a width that puts a few letters on a line.
    box.resize(40 + 2 * bukvotok::ResultsBox::kMargin + 2 * box.frameWidth(), box.height());
    timer.restart();
    SettleLines(box);
    const double behind_ms = Milliseconds(timer);
    const double resident_narrow = bukvotok::ResidentBytes();
    const std::size_t lines_narrow = box.Lines().MemoryBytes();
    box.resize(329, box.height());
    SettleLines(box);
    const std::size_t lines_wide = box.Lines().MemoryBytes();

    std::printf("%5zu MB of %s:", megabytes, text_name);
    double slowest = 0;
    for (const Figure& figure : figures) {
        std::printf(" %s %.2f ms;", figure.name, figure.ms);
        slowest = std::max(slowest, figure.ms);
    }
    const auto per_byte = [size](double bytes) {
        return size > 0 ? bytes / static_cast<double>(size) : 0;
    };
    std::printf(
        " save %.0f ms; the slowest action %.2f ms; all lines laid out behind after a change to "
        "40 px in %.0f ms; resident %.3f bytes per byte of results full at 329 px, %.3f at 40 "
        "px, %.3f with the history holding the 60 %% deleted; lines kept %zu bytes at 329 px, "
        "%zu at 40 px\n",
        save, slowest, behind_ms, per_byte(resident_full), per_byte(resident_narrow),
        per_byte(resident_deleted), lines_wide, lines_narrow);
    std::fflush(stdout);
}

// --- The box's own copy, pasted into itself ---

void MeasureDoubling(bukvotok::ResultsBox& box, int rounds) {
    box.resize(329, 113);
    box.setFocus();
    const int ctrl = Qt::ControlModifier;
    QApplication::clipboard()->setText(QStringLiteral(" кот"));
    box.SetResultsText({});
    Settle();
    const double resident_before = bukvotok::ResidentBytes();
    Key(box, ctrl | Qt::Key_V);
    // The slowest of each key over the rounds, each with its repaint.
    double slowest[4] = {0, 0, 0, 0};
    const Qt::Key keys[4] = {Qt::Key_A, Qt::Key_C, Qt::Key_End, Qt::Key_V};
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 4; ++k) {
            timer.restart();
            Key(box, ctrl | keys[k]);
            box.viewport()->repaint();
            slowest[k] = std::max(slowest[k], Milliseconds(timer));
        }
    }
    SettleLines(box);
    const std::size_t size = box.ResultsSize();
    const auto per_byte = [size](double bytes) { return bytes / static_cast<double>(size); };
    const double resident = bukvotok::ResidentBytes() - resident_before;
    const auto at = [&box](std::size_t offset) {
        return [&box, offset] { box.SetSelection(offset, offset); };
    };
    const auto undo = [&box, ctrl] { Key(box, ctrl | Qt::Key_Z); };
    const double letter = Timed(
        box, [&box] { Key(box, Qt::Key_unknown, QStringLiteral("ж")); }, at(0), undo);
    const double letter_undo = Timed(box, undo, [&] {
        at(0)();
        Key(box, Qt::Key_unknown, QStringLiteral("ж"));
    });
    const double end = Timed(
        box, [&box, ctrl] { Key(box, ctrl | Qt::Key_End); }, at(0));
    const double page = Timed(
        box, [&box] { Key(box, Qt::Key_PageDown); }, at(size / 2));
    const double copy_all = Timed(box, [&box, ctrl] {
        Key(box, ctrl | Qt::Key_A);
        Key(box, ctrl | Qt::Key_C);
    });
    const double middle = Timed(
        box, [&box] { Key(box, Qt::Key_unknown, QStringLiteral("ж")); }, at(size / 2), undo);
    const QString path = QDir::temp().filePath(QStringLiteral("bukvotok-doubling.txt"));
    timer.restart();
    bukvotok::SaveResultsFile(QFile::encodeName(path).toStdString(), box.ResultsPieces());
    const double save = Milliseconds(timer);
    QFile::remove(path);
    std::printf(
        "%d rounds: %zu bytes in %zu pieces (%.2f a MiB); resident %.3f bytes per byte, counted "
        "%.3f; the slowest Ctrl+A %.2f ms, Ctrl+C %.2f ms, Ctrl+End %.2f ms, Ctrl+V %.2f ms; "
        "then a letter at the top %.2f ms, its undo %.2f ms, in the middle %.2f ms; Ctrl+End "
        "%.2f ms; PgDn %.2f ms; Ctrl+A and Ctrl+C %.2f ms; save %.0f ms (%.0f MB/s)\n",
        rounds, size, box.Pieces(), per_byte(static_cast<double>(box.Pieces()) * (1 << 20)),
        per_byte(resident), per_byte(static_cast<double>(box.MemoryBytes())), slowest[0],
        slowest[1], slowest[2], slowest[3], letter, letter_undo, middle, end, page, copy_all, save,
        static_cast<double>(size) / 1e3 / std::max(save, 1e-3));
    std::fflush(stdout);
}

// --- A screen reader's questions ---

struct Answered {
    double ms;
    double peak_rise;  // bytes
    qsizetype length;
};

// The least time of three, and the most memory.
template <typename Ask>
Answered Answer(Ask&& ask) {
    Answered answered{1e300, 0, 0};
    for (int i = 0; i < 3; ++i) {
        Settle();
        const double resident = bukvotok::ResidentBytes();
        bukvotok::ResetPeakResident();
        QElapsedTimer timer;
        timer.start();
        const QString text = ask();
        answered.ms = std::min(answered.ms, Milliseconds(timer));
        answered.peak_rise = std::max(answered.peak_rise, bukvotok::PeakResidentBytes() - resident);
        answered.length = text.size();
    }
    return answered;
}

void MeasureScreenReader(bukvotok::ResultsBox& box, std::size_t megabytes) {
    Fill(box, megabytes, Cp1251Words({"а", "кот", "слово", "дом", "переход", "молоко"}));
    box.setFocus();
    SettleLines(box);
    const std::size_t size = box.ResultsSize();
    box.SetSelection(size / 2, size / 2);
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&box)->textInterface();
    const int caret = text->cursorPosition();
    std::printf("%zu bytes in the box, resident %.0f MB; at the caret (%d):\n", size,
                bukvotok::ResidentBytes() / 1e6, caret);
    const std::pair<const char*, QAccessible::TextBoundaryType> types[] = {
        {"character", QAccessible::CharBoundary},
        {"word", QAccessible::WordBoundary},
        {"line", QAccessible::LineBoundary},
        {"paragraph", QAccessible::ParagraphBoundary}};
    for (const auto& [name, type] : types) {
        int start = 0;
        int end = 0;
        const Answered at = Answer([&] { return text->textAtOffset(caret, type, &start, &end); });
        const Answered before =
            Answer([&] { return text->textBeforeOffset(caret, type, &start, &end); });
        const Answered after =
            Answer([&] { return text->textAfterOffset(caret, type, &start, &end); });
        std::printf(
            "  %-9s at %.3f ms +%.1f MB (%lld characters), before %.3f ms +%.1f MB, after %.3f ms "
            "+%.1f MB\n",
            name, at.ms, at.peak_rise / 1e6, static_cast<long long>(at.length), before.ms,
            before.peak_rise / 1e6, after.ms, after.peak_rise / 1e6);
    }
    // What Qt's own answer costs, on the box as large as it can stand.
    if (size <= (64u << 20)) {
        int start = 0;
        int end = 0;
        const Answered qt = Answer([&] {
            return text->QAccessibleTextInterface::textAtOffset(caret, QAccessible::LineBoundary,
                                                                &start, &end);
        });
        std::printf("  Qt's own line at the caret: %.1f ms +%.1f MB (%lld characters)\n", qt.ms,
                    qt.peak_rise / 1e6, static_cast<long long>(qt.length));
    }
    std::fflush(stdout);
}

}  // namespace

// --- The clipboard and the X11 selection on a full box ---
//
//   xvfb-run -a env QT_QPA_PLATFORM=xcb bench_results_box --clipboard [MEGABYTES]
//
// On a real X server (offscreen has no X11 selection), with the box owning the clipboard and
// the selection as on a desktop; default 1800 MB.  Each action is timed with the repaint after
// it, and its memory is how far it raised the process's peak resident size above what was
// resident before it (the peak is reset before each through /proc/self/clear_refs).
#include <malloc.h>

#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>

#include "ShowError.h"

namespace {

struct ActionCost {
    double ms;
    double peak_rise;  // bytes
};

template <typename Action>
ActionCost CostOf(bukvotok::ResultsBox& box, Action&& action) {
    Settle();
    // Memory freed before is given back, so that the action cannot hide in it.
    ::malloc_trim(0);
    const double resident = bukvotok::ResidentBytes();
    bukvotok::ResetPeakResident();
    QElapsedTimer timer;
    timer.start();
    action();
    box.viewport()->repaint();
    return {Milliseconds(timer), bukvotok::PeakResidentBytes() - resident};
}

void MiddleClick(bukvotok::ResultsBox& box, QPoint point) {
    const QPointF at(point);
    const QPointF global(box.viewport()->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &release);
}

void Report(const char* action, const ActionCost& cost, std::size_t bytes, const char* outcome) {
    std::printf("  %-52s %9.1f ms, peak +%6.0f MB (%.2f per byte of it): %s\n", action, cost.ms,
                cost.peak_rise / 1e6, bytes > 0 ? cost.peak_rise / static_cast<double>(bytes) : 0,
                outcome);
    std::fflush(stdout);
}

void MeasureClipboard(bukvotok::ResultsBox& box, std::size_t megabytes) {
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    const auto outcome = [&errors, &box](std::size_t size_before) -> std::string {
        std::string told = "size " + std::to_string(box.ResultsSize()) +
                           (box.ResultsSize() == size_before ? " (unchanged)" : "");
        if (!errors.isEmpty()) told += ", refused: " + errors.back().left(60).toStdString();
        errors.clear();
        return told;
    };
    box.Clear();
    std::uint32_t pick = 1;
    const std::vector<std::string> words = {"а", "кот", "слово", "дом", "переход", "молоко"};
    std::vector<std::string> cp_words;
    for (const std::string& word : words) cp_words.push_back(bukvotok::Utf8ToCp1251(word));
    const std::size_t target = std::min(megabytes * 1000 * 1000, box.Capacity() - 12);
    for (;;) {
        pick = pick * 1664525 + 1013904223;
        const std::string& word = cp_words[(pick >> 16) % cp_words.size()];
        if (box.ResultsSize() + word.size() + 1 > target) break;
        box.AppendWord(word);
    }
    box.setFocus();
    const std::size_t size = box.ResultsSize();
    QClipboard* clipboard = QApplication::clipboard();
    std::printf("%zu MB in the box (%zu bytes), resident %.0f MB; the X11 selection %s\n",
                megabytes, size, bukvotok::ResidentBytes() / 1e6,
                clipboard->supportsSelection() ? "offered" : "not offered on this platform");
    const int ctrl = Qt::ControlModifier;
    const QPoint middle(box.viewport()->width() / 2, box.viewport()->height() / 2);

    Key(box, ctrl | Qt::Key_A);
    ActionCost cost = CostOf(box, [&] { Key(box, ctrl | Qt::Key_C); });
    Report("Ctrl+C of all", cost, size, outcome(size).c_str());

    qsizetype handed = 0;
    cost = CostOf(box, [&] { handed = clipboard->mimeData()->data("text/plain").size(); });
    Report("another program asks for the copy (UTF-8)", cost, size,
           ("handed out " + std::to_string(handed) + " bytes").c_str());

    if (clipboard->supportsSelection()) {
        Key(box, ctrl | Qt::Key_A);
        cost = CostOf(box, [&] { MiddleClick(box, middle); });
        Report("middle click with all selected", cost, size, outcome(size).c_str());
        if (box.ResultsSize() != size) Key(box, ctrl | Qt::Key_Z);
    }

    // A part that fits: the first 100 MB, at the end.
    const std::size_t part = std::min<std::size_t>(100 * 1000 * 1000, size / 10);
    const std::string part_name = std::to_string(part / 1000 / 1000) + " MB";
    if (clipboard->supportsSelection()) {
        box.SetSelection(0, part);
        const int shift = Qt::ShiftModifier;
        Key(box, shift | Qt::Key_Left);  // published as a user's selection is
        Key(box, shift | Qt::Key_Right);
        const std::size_t before = box.ResultsSize();
        cost = CostOf(box, [&] { MiddleClick(box, middle); });
        Report(("middle click with the first " + part_name + " selected").c_str(), cost, part,
               outcome(before).c_str());
        if (box.ResultsSize() != before) Key(box, ctrl | Qt::Key_Z);
    }
    box.SetSelection(0, part);
    Key(box, ctrl | Qt::Key_C);
    box.SetSelection(box.ResultsSize(), box.ResultsSize());
    std::size_t before = box.ResultsSize();
    cost = CostOf(box, [&] { Key(box, ctrl | Qt::Key_V); });
    Report(("Ctrl+V at the end of its own copy of " + part_name).c_str(), cost, part,
           outcome(before).c_str());
    if (box.ResultsSize() != before) Key(box, ctrl | Qt::Key_Z);

    // From another program: Unicode text that is not the box's own, words as the box has them.
    auto* foreign = new QMimeData;
    const QString word = QStringLiteral(" слово");
    foreign->setText(word.repeated(static_cast<qsizetype>(part) / word.size()));
    clipboard->setMimeData(foreign);
    box.SetSelection(box.ResultsSize(), box.ResultsSize());
    before = box.ResultsSize();
    cost = CostOf(box, [&] { Key(box, ctrl | Qt::Key_V); });
    Report(("Ctrl+V at the end of " + part_name + " from another program").c_str(), cost, part,
           outcome(before).c_str());
    if (box.ResultsSize() != before) Key(box, ctrl | Qt::Key_Z);
    clipboard->clear();

    // More than fits, from another program.
    foreign = new QMimeData;
    foreign->setText(QString(static_cast<qsizetype>(box.Capacity() - size + 1), QChar(u'x')));
    clipboard->setMimeData(foreign);
    before = box.ResultsSize();
    cost = CostOf(box, [&] { Key(box, ctrl | Qt::Key_V); });
    Report("Ctrl+V of one byte more than fits, from another program", cost,
           box.Capacity() - size + 1, outcome(before).c_str());
    clipboard->clear();
    bukvotok::ReplaceErrorBox({});
}

// Megabytes as given on the command line; anything else ends the run with the usage.
std::size_t Megabytes(const char* argument) {
    const std::string text(argument);
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        std::fprintf(stderr,
                     "usage: bench_results_box [MEGABYTES...]\n"
                     "       bench_results_box --actions [MEGABYTES...]\n"
                     "       bench_results_box --clipboard [MEGABYTES]\n"
                     "       bench_results_box --doubling [ROUNDS...]\n"
                     "       bench_results_box --screen-reader [MEGABYTES]\n");
        std::exit(2);
    }
    return std::stoul(text);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--clipboard") {
        bukvotok::ResultsBox box;
        box.resize(329, 113);
        box.show();
        MeasureClipboard(box, argc > 2 ? Megabytes(argv[2]) : 1800);
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--doubling") {
        bukvotok::ResultsBox box;
        box.show();
        std::vector<std::size_t> rounds;
        for (int i = 2; i < argc; ++i) rounds.push_back(Megabytes(argv[i]));
        if (rounds.empty()) rounds = {22, 28};
        for (const std::size_t count : rounds) MeasureDoubling(box, static_cast<int>(count));
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--screen-reader") {
        bukvotok::ResultsBox box;
        box.resize(329, 113);
        box.show();
        MeasureScreenReader(box, argc > 2 ? Megabytes(argv[2]) : 2047);
        return 0;
    }
    const bool actions = argc > 1 && std::string(argv[1]) == "--actions";
    std::vector<std::size_t> sizes;
    for (int i = actions ? 2 : 1; i < argc; ++i) sizes.push_back(Megabytes(argv[i]));
    if (sizes.empty())
        sizes = actions ? std::vector<std::size_t>{0, 200, 2147}
                        : std::vector<std::size_t>{0, 1, 10, 100, 200};

    // An error box would wait for a click that never comes: its text goes to the output.
    bukvotok::ReplaceErrorBox([](const QString&, const QString& text) {
        std::printf("error box: %s\n", text.toUtf8().constData());
    });
    bukvotok::ResultsBox box;
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    box.resize(329, 113);
    box.show();
    QTemporaryDir folder;
    if (actions) {
        const std::vector<std::string> search_words =
            Cp1251Words({"а", "кот", "слово", "дом", "переход", "молоко", "рыба", "ёж", "стол",
                         "окно", "подоконник", "лес", "вода"});
        for (const std::size_t megabytes : sizes) {
            MeasureActions(box, megabytes, "a search's words", search_words, folder.path());
            MeasureActions(box, megabytes, "one word repeated", Cp1251Words({"кот"}),
                           folder.path());
        }
        return 0;
    }
    for (const double rate : {0.1e6, 1e6, 3e6}) MeasureStream(box, counter, rate);
    for (const std::size_t megabytes : sizes) MeasureAt(box, counter, megabytes, folder.path());
    return 0;
}
