#include "SaveProgressDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <memory>

#include "ApplicationTitle.h"
#include "ResultsFile.h"

namespace bukvotok {

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;
// The bar counts in thousandths: a byte count does not fit its int.
constexpr int kBarSteps = 1000;

QString Written(std::uint64_t written, std::uint64_t total) {
    const std::uint64_t total_megabytes = (total + kMegabyte - 1) / kMegabyte;
    return QStringLiteral("Сохранение найденного в файл: %1 из %2 МБ")
        .arg(written / kMegabyte)
        .arg(total_megabytes);
}

std::chrono::milliseconds& Delay() {
    static std::chrono::milliseconds delay{500};
    return delay;
}

}  // namespace

SaveProgressDialog::SaveProgressDialog(QWidget* parent, std::uint64_t total)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      total_(total) {
    setWindowTitle(ApplicationTitle());
    setWindowModality(Qt::ApplicationModal);
    bar_->setRange(0, kBarSteps);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough from the start for the longest figures the label will show.
    label_->setText(Written(total_, total_));
    label_->setMinimumWidth(label_->sizeHint().width());
    ShowWritten(0);
}

void SaveProgressDialog::ShowWritten(std::uint64_t written) {
    label_->setText(Written(written, total_));
    const std::uint64_t steps = total_ > 0 ? written * kBarSteps / total_ : kBarSteps;
    bar_->setValue(static_cast<int>(steps));
}

void SaveProgressDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void SaveWithProgress(QWidget& window, const std::string& path,
                      std::span<const std::string_view> pieces) {
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<SaveProgressDialog> dialog;
    SaveResultsFile(path, pieces, [&](std::uint64_t written, std::uint64_t total) {
        if (!dialog) {
            if (written == total || std::chrono::steady_clock::now() - start < Delay()) return;
            dialog = std::make_unique<SaveProgressDialog>(&window, total);
            dialog->show();
        }
        dialog->ShowWritten(written);
        // With the dialog up only painting and the like get through: the window repaints,
        // and no command runs.
        QCoreApplication::processEvents();
    });
}

std::chrono::milliseconds SetSaveProgressDelay(std::chrono::milliseconds delay) {
    std::swap(Delay(), delay);
    return delay;
}

}  // namespace bukvotok
