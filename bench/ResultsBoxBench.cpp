// What the results box costs as the results grow: an append, a refresh on screen, memory per
// byte of results, saving and clearing.  Not a test: it prints numbers.
//
//   bench_results_box [MEGABYTES...]   (offscreen unless QT_QPA_PLATFORM says otherwise;
//                                        default sizes 0 1 10 100 200; memory per byte is
//                                        exact for the first size only)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Cp1251.h"
#include "ResidentMemory.h"
#include "ResultsBox.h"
#include "ResultsFile.h"

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
    box.Clear();
    Settle();
    const double resident_before = bukvotok::ResidentBytes();
    QElapsedTimer timer;
    timer.start();
    const std::size_t target = megabytes * 1000 * 1000;
    while (box.ResultsView().size() < target) box.AppendResultsText(word);
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
    bukvotok::SaveResultsFile(QFile::encodeName(path).toStdString(), box.ResultsView());
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
    box.Clear();
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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty()) sizes = {0, 1, 10, 100, 200};

    bukvotok::ResultsBox box;
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    box.resize(329, 113);
    box.show();
    QTemporaryDir folder;
    for (const double rate : {0.1e6, 1e6, 3e6}) MeasureStream(box, counter, rate);
    for (const std::size_t megabytes : sizes) MeasureAt(box, counter, megabytes, folder.path());
    return 0;
}
