// How much an append to the results box costs as the results grow, and how often the box
// repaints under a steady stream of appends.  Not a test: it prints numbers.
//
//   bench_results_box            (offscreen unless QT_QPA_PLATFORM says otherwise)

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Cp1251.h"
#include "ResultsBox.h"

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

std::string Results(std::size_t bytes) {
    const std::string word = bukvotok::Utf8ToCp1251(" слово");
    std::string results;
    results.reserve(bytes + word.size());
    while (results.size() < bytes) results += word;
    return results;
}

void Settle() {
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100) QCoreApplication::processEvents();
}

// One append at a time, each shown before the next: the refresh timer is let fall due, then the
// event loop runs it (flush and layout) and the paint it asks for.
void MeasureAppends(bukvotok::ResultsBox& box, PaintCounter& counter, std::size_t megabytes) {
    const std::string word = bukvotok::Utf8ToCp1251(" слово");
    QElapsedTimer timer;
    timer.start();
    box.SetResultsText(Results(megabytes * 1000 * 1000));
    const double set_ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    Settle();

    std::vector<double> call_us;
    std::vector<double> shown_us;
    const int paints_before = counter.paints;
    constexpr int kAppends = 300;
    for (int i = 0; i < kAppends; ++i) {
        timer.restart();
        box.AppendResultsText(word);
        call_us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
        QThread::msleep(17);
        timer.restart();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        shown_us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    }
    const int paints = counter.paints - paints_before;

    timer.restart();
    const std::string text = box.ResultsText();
    const double read_ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    std::printf(
        "%2zu MB: append call %.2f us, append shown (flush+layout+paint) median %.1f us, "
        "%d paints for %d appends; SetResultsText %.0f ms, ResultsText %.0f ms (%zu bytes, %d "
        "blocks)\n",
        megabytes, Median(call_us), Median(shown_us), paints, kAppends, set_ms, read_ms,
        text.size(), box.document()->blockCount());
}

// Appends as fast as a search finds words, the event loop running between them as it would
// between queued signals; counts paints and document changes per second.
void MeasureStream(bukvotok::ResultsBox& box, PaintCounter& counter, int words_per_second) {
    const std::string word = bukvotok::Utf8ToCp1251(" слово");
    box.SetResultsText(Results(1000 * 1000));
    Settle();
    int changes = 0;
    const auto connection =
        QObject::connect(box.document(), &QTextDocument::contentsChange, [&changes] { ++changes; });
    const int paints_before = counter.paints;
    QElapsedTimer clock;
    clock.start();
    constexpr qint64 kRunNs = 2'000'000'000;
    const qint64 interval_ns = 1'000'000'000 / words_per_second;
    qint64 next_ns = 0;
    int appended = 0;
    while (clock.nsecsElapsed() < kRunNs) {
        while (next_ns <= clock.nsecsElapsed()) {
            box.AppendResultsText(word);
            ++appended;
            next_ns += interval_ns;
        }
        QCoreApplication::processEvents();
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    QObject::disconnect(connection);
    std::printf("stream of %d words/s: %.0f appends/s, %.1f repaints/s, %.1f document changes/s\n",
                words_per_second, appended / seconds, (counter.paints - paints_before) / seconds,
                changes / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bukvotok::ResultsBox box;
    box.resize(329, 113);
    box.show();
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    Settle();

    for (const int megabytes : {0, 1, 10}) {
        MeasureAppends(box, counter, static_cast<std::size_t>(megabytes));
    }
    // The box still holds 10 MB: a new width lays out again what is on screen.
    QElapsedTimer timer;
    timer.start();
    box.resize(400, 150);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("10 MB: resize shown in %.1f ms\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6);
    box.resize(329, 113);

    for (const int rate : {1000, 5000, 20000}) MeasureStream(box, counter, rate);
    return 0;
}
