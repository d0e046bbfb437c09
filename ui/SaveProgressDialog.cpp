#include "SaveProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <memory>

#include "ApplicationTitle.h"
#include "ResultsFile.h"
#include "WindowTexts.h"

namespace bukvotok {

namespace {

// The bar counts in thousandths: a byte count does not fit its int.
constexpr int kBarSteps = 1000;

QString Written(const QString& doing, std::uint64_t written, std::uint64_t total) {
    return QString::fromStdU16String(ProgressText(doing.toStdU16String(), written, total));
}

std::chrono::milliseconds& Delay() {
    static std::chrono::milliseconds delay{500};
    return delay;
}

}  // namespace

SaveProgressDialog::SaveProgressDialog(QWidget* parent, std::uint64_t total, const QString& doing)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      total_(total),
      doing_(doing) {
    setWindowTitle(ApplicationTitle());
    setWindowModality(Qt::ApplicationModal);
    bar_->setRange(0, kBarSteps);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough from the start for the longest figures the label will show.
    label_->setText(Written(doing_, total_, total_));
    label_->setMinimumWidth(label_->sizeHint().width());
    ShowWritten(0);
}

void SaveProgressDialog::ShowWritten(std::uint64_t written) {
    label_->setText(Written(doing_, written, total_));
    const std::uint64_t steps = total_ > 0 ? written * kBarSteps / total_ : kBarSteps;
    bar_->setValue(static_cast<int>(steps));
}

void SaveProgressDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

ProgressAfterDelay::ProgressAfterDelay(QWidget* window, QString doing)
    : window_(window), doing_(std::move(doing)), start_(std::chrono::steady_clock::now()) {}

ProgressAfterDelay::~ProgressAfterDelay() = default;

void ProgressAfterDelay::Report(std::uint64_t done, std::uint64_t total) {
    if (!dialog_) {
        if (window_ == nullptr || done == total ||
            std::chrono::steady_clock::now() - start_ < Delay()) {
            return;
        }
        dialog_ = std::make_unique<SaveProgressDialog>(window_, total, doing_);
        dialog_->show();
    }
    dialog_->ShowWritten(done);
    // With the dialog up only painting and the like get through: the window repaints, and no
    // command runs.
    QCoreApplication::processEvents();
}

void SaveWithProgress(QWidget& window, const std::string& path,
                      std::span<const std::string_view> pieces) {
    ProgressAfterDelay progress(&window, QStringLiteral("Сохранение найденного в файл"));
    SaveResultsFile(path, pieces, [&progress](std::uint64_t written, std::uint64_t total) {
        progress.Report(written, total);
    });
}

std::chrono::milliseconds SetSaveProgressDelay(std::chrono::milliseconds delay) {
    std::swap(Delay(), delay);
    return delay;
}

}  // namespace bukvotok
