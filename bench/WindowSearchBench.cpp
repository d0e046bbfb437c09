// The search in a window: how fast it runs against the same search without one, how often the
// event loop and the screen get their turn, and how soon a tick on the stop box ends it.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench/window_search_bench [DICTIONARY] [SECONDS]
//       [RESULTS_MB]
//
// The window is measured against the same passes twice: with the headless command's own host,
// its results written to /dev/null (what `bukvotok-search` does), and with a host that keeps
// nothing and asks nothing (the search alone).
// RESULTS_MB fills the results box with that many megabytes first, to see whether a full box
// slows the search.  Run it under xvfb-run (without QT_QPA_PLATFORM) for a real X connection.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BenchArguments.h"
#include "DictionaryList.h"
#include "HeadlessSearch.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "ResidentMemory.h"
#include "ResultsBox.h"
#include "StatusLine.h"
#include "WindowFace.h"
#include "WindowSearchHost.h"

namespace {

using Clock = std::chrono::steady_clock;

class CountingWindowHost : public bukvotok::WindowSearchHost {
public:
    using WindowSearchHost::WindowSearchHost;
    bool StopRequested() override {
        ++passes;
        return WindowSearchHost::StopRequested();
    }
    void ProcessPendingEvents() override {
        ++steps;
        WindowSearchHost::ProcessPendingEvents();
    }
    void CountQuietCalls(bukvotok::QuietCalls left_out) override {
        passes += static_cast<long long>(left_out.stop_questions);
        steps += static_cast<long long>(left_out.pumps);
        WindowSearchHost::CountQuietCalls(left_out);
    }
    long long passes = 0;
    long long steps = 0;
};

// The same search with nothing to show and no one to ask: the ceiling for the window.
class BareHost : public bukvotok::SearchHost {
public:
    explicit BareHost(long long passes) : passes_(passes) {}
    void SetStatus(std::string_view) override {}
    bool StopRequested() override { return ++passes_run_ >= passes_; }
    std::string GetResultsText() override { return {}; }
    void SetResultsText(std::string) override {}
    void AppendToResults(std::string_view word) override { results_ += word.size() + 1; }
    void ProcessPendingEvents() override {}
    bukvotok::QuietCalls QuietCallsAhead() override {
        const auto left = passes_ - passes_run_ - 1;
        return {UINT64_MAX, left > 0 ? static_cast<std::uint64_t>(left) : 0};
    }
    void CountQuietCalls(bukvotok::QuietCalls left_out) override {
        passes_run_ += static_cast<long long>(left_out.stop_questions);
    }

private:
    long long passes_;
    long long passes_run_ = 0;
    std::size_t results_ = 0;
};

class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : type_(type) {}
    int count = 0;
    Clock::time_point last;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_) {
            ++count;
            last = Clock::now();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
};

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// The processor time of the whole program: on a busy machine the wall time includes the turns
// other programs take, this does not.
double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double ResidentMegabytes() { return bukvotok::ResidentBytes() / (1024 * 1024); }

// The window's part in a search, as the main window's Qt face plays it.
class StatusAndEvents : public bukvotok::SearchFace {
public:
    explicit StatusAndEvents(QLabel& status) : status_(status) {}
    void ShowStatus(std::string_view text) override { bukvotok::ShowStatus(status_, text); }
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
    void WaitForEvents() override {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }

private:
    QLabel& status_;
};

struct Window {
    QWidget widget;
    QLabel status{&widget};
    QCheckBox stop_box{&widget};
    bukvotok::ResultsBox results{&widget};
    EventCounter results_paints{QEvent::Paint};
    EventCounter stop_box_paints{QEvent::Paint};
    StatusAndEvents face{status};
    bool stop_box_checked = false;

    Window() {
        QObject::connect(&stop_box, &QCheckBox::toggled,
                         [this](bool checked) { stop_box_checked = checked; });
        results.setGeometry(8, 80, 329, 113);
        stop_box.setGeometry(8, 40, 81, 23);
        widget.resize(344, 239);
        results.viewport()->installEventFilter(&results_paints);
        stop_box.installEventFilter(&stop_box_paints);
        widget.show();
    }
};

// Ticks the stop box from another thread after `delay`, as a click that arrives while the
// search runs; `posted` receives the moment.
std::thread TickLater(QCheckBox& stop_box, Clock::duration delay, Clock::time_point& posted) {
    return std::thread([&stop_box, delay, &posted] {
        std::this_thread::sleep_for(delay);
        posted = Clock::now();
        QMetaObject::invokeMethod(&stop_box, [&stop_box] { stop_box.setChecked(true); });
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::optional<double> seconds =
        argc > 2 ? bukvotok::PositiveSeconds(argv[2]) : std::optional<double>(5);
    const std::optional<std::uint64_t> prefill_mb =
        argc > 3 ? bukvotok::WholeNumber(argv[3]) : std::optional<std::uint64_t>(0);
    if (argc > 4 || !seconds || !prefill_mb) {
        std::fprintf(stderr, "usage: window_search_bench [DICTIONARY] [SECONDS] [RESULTS_MB]\n");
        return 2;
    }
    const std::string path = argc > 1 ? argv[1] : BUKVOTOK_DEFAULT_DICTIONARY;

    bukvotok::DictionaryList dictionary;
    try {
        dictionary.LoadDictionary(path);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_search_bench: %s\n", error.what());
        return 1;
    }
    Window window;
    if (*prefill_mb > 0) {
        const std::string word = " xxxxxx";
        while (window.results.ResultsSize() < *prefill_mb * 1000 * 1000) {
            window.results.AppendResultsText(word);
        }
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200) QCoreApplication::processEvents();
    const double resident_before = ResidentMegabytes();
    const std::size_t results_before = window.results.ResultsSize();

    // The long search in rounds, each stopped by a tick posted from another thread and followed
    // by the same passes without a window, so that all share the ups and downs of the machine's
    // other work.
    // Rounds of a quarter of a second: the machine's speed drifts by a third within seconds on
    // a shared host, and shorter rounds pair the runs it drifts under more closely.
    const int rounds = std::max(5, static_cast<int>(*seconds * 4));
    const auto round_length = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(*seconds / rounds));
    const int paints_before = window.results_paints.count;
    double elapsed = 0;
    double processor = 0;
    double bare_elapsed = 0;
    double bare_processor = 0;
    double headless_elapsed = 0;
    double headless_processor = 0;
    const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    long long letters = 0;
    double slowest_stop = 0;
    std::uint32_t state = 0;
    for (int round = 0; round < rounds; ++round) {
        window.stop_box.setChecked(false);
        CountingWindowHost host(window.face, window.results, dictionary, window.stop_box_checked);
        bukvotok::SetRandomState(state);
        Clock::time_point tick_posted;
        const Clock::time_point start = Clock::now();
        const double processor_start = ProcessorSeconds();
        std::thread ticker = TickLater(window.stop_box, round_length, tick_posted);
        bukvotok::RunSearch(host, dictionary);
        const Clock::time_point ended = Clock::now();
        processor += ProcessorSeconds() - processor_start;
        ticker.join();
        elapsed += Seconds(ended - start);
        slowest_stop = std::max(slowest_stop, Seconds(ended - tick_posted));
        letters += host.passes + host.steps - 1;
        const std::uint32_t after = bukvotok::RandomState();

        bukvotok::SetRandomState(state);
        BareHost bare(host.passes);
        const Clock::time_point bare_start = Clock::now();
        const double bare_processor_start = ProcessorSeconds();
        bukvotok::RunSearch(bare, dictionary);
        bare_elapsed += Seconds(Clock::now() - bare_start);
        bare_processor += ProcessorSeconds() - bare_processor_start;
        if (bukvotok::RandomState() != after) std::fprintf(stderr, "the searches differ\n");

        bukvotok::SetRandomState(state);
        const Clock::time_point headless_start = Clock::now();
        const double headless_processor_start = ProcessorSeconds();
        bukvotok::RunHeadlessSearch(dictionary, static_cast<std::uint64_t>(host.passes), null_fd);
        headless_elapsed += Seconds(Clock::now() - headless_start);
        headless_processor += ProcessorSeconds() - headless_processor_start;
        if (bukvotok::RandomState() != after) std::fprintf(stderr, "the searches differ\n");
        state = after;
    }
    ::close(null_fd);
    const int paints = window.results_paints.count - paints_before;
    const std::size_t results = window.results.ResultsSize() - results_before;

    const auto rate = [letters](double time) { return static_cast<double>(letters) / time / 1e6; };
    std::printf(
        "window search: %.1f million letters/s; the headless command's host: %.1f (%.0f %%); "
        "the search alone: %.1f (%.0f %%)\n",
        rate(elapsed), rate(headless_elapsed), 100.0 * headless_elapsed / elapsed,
        rate(bare_elapsed), 100.0 * bare_elapsed / elapsed);
    std::printf(
        "in processor time: %.1f; headless %.1f (%.0f %%); alone %.1f (%.0f %%); the window had "
        "the processor %.0f %% of the time\n",
        rate(processor), rate(headless_processor), 100.0 * headless_processor / processor,
        rate(bare_processor), 100.0 * bare_processor / processor, 100.0 * processor / elapsed);
    std::printf(
        "results: %.1f MB in %.1f s (%.2f MB/s) on top of %zu MB; %.0f screen refreshes "
        "a second; resident memory %.0f MB more (%.2f bytes per byte of results)\n",
        static_cast<double>(results) / 1e6, elapsed, static_cast<double>(results) / 1e6 / elapsed,
        static_cast<std::size_t>(*prefill_mb), paints / elapsed,
        ResidentMegabytes() - resident_before,
        (ResidentMegabytes() - resident_before) * 1024 * 1024 /
            std::max<double>(1, static_cast<double>(results)));
    std::printf("stop: the searches ended at most %.1f ms after the tick was posted\n",
                slowest_stop * 1e3);

    // Short searches stopped at different moments: how soon the tick shows and ends them.
    std::vector<double> shown_ms;
    std::vector<double> ended_ms;
    constexpr int kStops = 60;
    for (int round = 0; round < kStops; ++round) {
        window.stop_box.setChecked(false);
        QElapsedTimer unticked;
        unticked.start();
        while (unticked.elapsed() < 30) QCoreApplication::processEvents();  // shown unticked
        CountingWindowHost short_host(window.face, window.results, dictionary,
                                      window.stop_box_checked);
        const int box_paints = window.stop_box_paints.count;
        Clock::time_point posted;
        std::thread thread =
            TickLater(window.stop_box, std::chrono::milliseconds(20 + 3 * round), posted);
        bukvotok::RunSearch(short_host, dictionary);
        const Clock::time_point search_ended = Clock::now();
        thread.join();
        while (window.stop_box_paints.count == box_paints) QCoreApplication::processEvents();
        shown_ms.push_back(Seconds(window.stop_box_paints.last - posted) * 1e3);
        ended_ms.push_back(Seconds(search_ended - posted) * 1e3);
    }
    std::sort(shown_ms.begin(), shown_ms.end());
    std::sort(ended_ms.begin(), ended_ms.end());
    const auto at = [](const std::vector<double>& sorted, double share) {
        return sorted[static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1))];
    };
    std::printf(
        "%d stops: tick shown after %.1f ms (median), %.1f ms (19 in 20), %.1f ms (slowest); "
        "search ended after %.1f ms (median), %.1f ms (19 in 20), %.1f ms (slowest)\n",
        kStops, at(shown_ms, 0.5), at(shown_ms, 0.95), shown_ms.back(), at(ended_ms, 0.5),
        at(ended_ms, 0.95), ended_ms.back());
    return 0;
}
