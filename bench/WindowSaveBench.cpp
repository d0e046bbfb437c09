// Saving a full results box from the main window: how long it takes, when the progress dialog
// comes up, how long the window goes without the event loop, and whether it repaints.  Not a
// test: it prints numbers.
//
//   xvfb-run -a build/bench/bench/window_save_bench MEGABYTES [FILE] [SCREENSHOT.png]
//
// The box is filled with search-like words, then "Сохранить найденное в файл" is clicked and
// its file dialog answered with FILE (default: a file in /tmp, removed after).  Half a second
// after the dialog shows, it is moved aside, so that the window must repaint what it uncovers,
// and with SCREENSHOT `import -window root` takes a picture of the screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "BenchArguments.h"
#include "Cp1251.h"
#include "ResidentMemory.h"
#include "ResultsBox.h"
#include "SaveProgressDialog.h"
#include "Unit1.h"

namespace {

// Counts the window's paints and times the event loop's passes during the save.
class Watch : public QObject {
public:
    QElapsedTimer clock;
    qint64 dialog_shown_ms = -1;
    int window_paints = 0;
    int window_exposes = 0;
    int passes = 0;
    qint64 longest_gap_ms = 0;
    qint64 longest_gap_with_dialog_ms = 0;
    qint64 last_pass_ms = 0;
    QString screenshot;

    void Pass() {
        const qint64 now = clock.elapsed();
        longest_gap_ms = std::max(longest_gap_ms, now - last_pass_ms);
        if (dialog_shown_ms >= 0 && last_pass_ms >= dialog_shown_ms) {
            longest_gap_with_dialog_ms = std::max(longest_gap_with_dialog_ms, now - last_pass_ms);
        }
        last_pass_ms = now;
        ++passes;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<bukvotok::SaveProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show && dialog_shown_ms < 0) {
            dialog_shown_ms = clock.elapsed();
            QTimer::singleShot(500, dialog, [this, dialog] {
                dialog->move(dialog->pos() + QPoint(150, 100));
                if (!screenshot.isEmpty()) {
                    QTimer::singleShot(300, [this] {
                        QProcess::startDetached(
                            QStringLiteral("import"),
                            {QStringLiteral("-window"), QStringLiteral("root"), screenshot});
                    });
                }
            });
        }
        // The uncovered part of the window comes back from Qt's backing store on an expose;
        // a paint is only needed where something changed.
        if (event->type() == QEvent::Expose && dialog_shown_ms >= 0 &&
            watched->objectName() == QStringLiteral("TForm1Window")) {
            ++window_exposes;
        }
        if (event->type() == QEvent::Paint && dialog_shown_ms >= 0 && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window()->objectName() == QStringLiteral("TForm1")) {
            ++window_paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::optional<std::uint64_t> megabytes =
        argc > 1 ? bukvotok::WholeNumber(argv[1]) : std::nullopt;
    if (argc > 4 || !megabytes) {
        std::fprintf(stderr, "usage: window_save_bench MEGABYTES [FILE] [SCREENSHOT.png]\n");
        return 2;
    }
    const QString path =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp/window_save_bench.txt");
    TForm1 form;
    form.show();
    auto* memo = form.findChild<bukvotok::ResultsBox*>(QStringLiteral("Memo1"));
    std::string block;
    for (int i = 0; block.size() < (1 << 20); ++i) {
        block += bukvotok::Utf8ToCp1251(i % 3 ? " слово" : " котёл");
    }
    const std::size_t target =
        *megabytes > (memo->Capacity() >> 20) ? memo->Capacity() : *megabytes << 20;
    while (memo->ResultsSize() + block.size() <= target) memo->AppendResultsText(block);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300) QCoreApplication::processEvents();

    Watch watch;
    if (argc > 3) watch.screenshot = QString::fromLocal8Bit(argv[3]);
    application.installEventFilter(&watch);
    QTimer pass_timer;
    QObject::connect(&pass_timer, &QTimer::timeout, [&watch] { watch.Pass(); });
    // The file dialog is answered as a user would, then the clock starts.
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        answer.stop();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
        watch.clock.start();
        pass_timer.start(1);
    });
    answer.start();
    form.findChild<QPushButton*>(QStringLiteral("Button5"))->click();
    const qint64 save_ms = watch.clock.elapsed();
    watch.Pass();
    pass_timer.stop();
    std::printf(
        "%zu MB (%zu bytes): saved in %lld ms; dialog up after %lld ms; event loop passes during "
        "the save %d, longest gap %lld ms (%lld ms with the dialog up); window exposes %d and "
        "paints %d while the dialog was up; file %lld bytes; resident %.0f MB; window %s\n",
        static_cast<std::size_t>(*megabytes), memo->ResultsSize(), static_cast<long long>(save_ms),
        static_cast<long long>(watch.dialog_shown_ms), watch.passes,
        static_cast<long long>(watch.longest_gap_ms),
        static_cast<long long>(watch.longest_gap_with_dialog_ms), watch.window_exposes,
        watch.window_paints, static_cast<long long>(QFile(path).size()),
        bukvotok::ResidentBytes() / 1e6, form.isVisible() ? "still shown" : "gone");
    if (argc <= 2) QFile::remove(path);
    return 0;
}
