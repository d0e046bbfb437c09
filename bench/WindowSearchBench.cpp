// The search in the window against the cost of the event pump it calls at every step.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench/window_search_bench [DICTIONARY] [SECONDS]
//
// Prints the cost of one empty QCoreApplication::processEvents(), the window search's letters
// per second and time per letter, and what the search and the results box add to the pump.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "DictionaryList.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "ResultsBox.h"
#include "WindowSearchHost.h"

namespace {

class CountingWindowHost : public bukvotok::WindowSearchHost {
public:
    using WindowSearchHost::WindowSearchHost;
    bool StopRequested() override {
        ++passes;
        return WindowSearchHost::StopRequested();
    }
    void ProcessPendingEvents() override {
        ++pumps;
        WindowSearchHost::ProcessPendingEvents();
    }
    long long passes = 0;
    long long pumps = 0;
};

double EmptyPumpNanoseconds() {
    constexpr int kPumps = 1'000'000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPumps; ++i) QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / kPumps;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString path =
        arguments.size() > 1 ? arguments[1] : QStringLiteral(BUKVOTOK_DEFAULT_DICTIONARY);
    const int seconds = arguments.size() > 2 ? arguments[2].toInt() : 5;

    bukvotok::DictionaryList dictionary;
    dictionary.LoadDictionary(path.toStdString());
    QWidget window;
    QLabel status(&window);
    QCheckBox stop_box(&window);
    bukvotok::ResultsBox results(&window);
    results.setGeometry(8, 80, 329, 113);
    window.resize(344, 239);
    window.show();
    QCoreApplication::processEvents();

    const double pump_before = EmptyPumpNanoseconds();
    CountingWindowHost host(status, stop_box, results, dictionary);
    QTimer::singleShot(seconds * 1000, [&stop_box] { stop_box.setChecked(true); });
    bukvotok::SetRandomState(0);
    QElapsedTimer timer;
    timer.start();
    bukvotok::RunSearch(host, dictionary);
    const double elapsed_ns = static_cast<double>(timer.nsecsElapsed());
    const double pump_after = EmptyPumpNanoseconds();

    const double letters = static_cast<double>(host.passes + host.pumps - 1);
    const double pump = (pump_before + pump_after) / 2;
    const double per_step = elapsed_ns / static_cast<double>(host.pumps);
    std::printf("empty processEvents(): %.0f ns (%.0f before, %.0f after the search)\n", pump,
                pump_before, pump_after);
    std::printf("window search: %.0f letters/s, %lld passes, %.0f ns per pumped step\n",
                letters / (elapsed_ns / 1e9), host.passes, per_step);
    std::printf("search and results box add %.1f %% to the pump\n",
                100.0 * (per_step - pump) / pump);
    std::printf("results: %zu bytes\n", results.ResultsText().size());
    return 0;
}
