#include "ResultsMimeData.h"

#include "ResultsCodec.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

const QString kPlainText = QStringLiteral("text/plain");

// A conversion asked for while another one lets events in runs without a dialog of its own.
bool converting = false;

}  // namespace

ResultsMimeData::ResultsMimeData(Source source, QWidget* window)
    : source_(std::move(source)), window_(window) {}

QStringList ResultsMimeData::formats() const { return {kPlainText}; }

bool ResultsMimeData::hasFormat(const QString& type) const { return type == kPlainText; }

QVariant ResultsMimeData::retrieveData(const QString& type, QMetaType meta_type) const {
    if (type != kPlainText) return QMimeData::retrieveData(type, meta_type);
    const bool utf8 = meta_type.id() == QMetaType::QByteArray;
    const bool outer = !converting;
    QVariant text;
    // Memory may run out for gigabytes: the program that asked then gets nothing, and the error
    // box says why.  While the dialog lets events in, another program may take the clipboard
    // over, and Qt then deletes this object: nothing touches it after the source has answered.
    RunCommand([&] {
        const BlockBytes bytes = source_();
        ProgressAfterDelay progress(outer ? window_.data() : nullptr,
                                    QStringLiteral("Передача скопированного текста"));
        const auto report = [&progress](std::size_t done, std::size_t total) {
            progress.Report(done, total);
        };
        converting = true;
        text = utf8 ? QVariant(DecodeResultsToUtf8(bytes, report))
                    : QVariant(DecodeResults(bytes, report));
    });
    if (outer) converting = false;
    return text;
}

}  // namespace bukvotok
