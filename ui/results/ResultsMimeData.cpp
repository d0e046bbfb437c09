#include "ResultsMimeData.h"

#include "ResultsCodec.h"

namespace bukvotok {

namespace {
const QString kPlainText = QStringLiteral("text/plain");
}  // namespace

QStringList ResultsMimeData::formats() const { return {kPlainText}; }

bool ResultsMimeData::hasFormat(const QString& type) const { return type == kPlainText; }

QVariant ResultsMimeData::retrieveData(const QString& type, QMetaType meta_type) const {
    if (type != kPlainText) return QMimeData::retrieveData(type, meta_type);
    const QString text = DecodeResults(source_());
    if (meta_type.id() == QMetaType::QByteArray) return text.toUtf8();
    return text;
}

}  // namespace bukvotok
