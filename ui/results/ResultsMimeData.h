// Text of the results box on its way to the clipboard, a drag or the X11 selection.  The box
// holds Windows-1251 bytes; the Unicode text others read is made only when one of them asks,
// so that selecting or copying hundreds of megabytes costs nothing until they are pasted.
#pragma once

#include <QMimeData>
#include <functional>
#include <string>

namespace bukvotok {

class ResultsMimeData : public QMimeData {
public:
    // Gives the bytes, line breaks as CR LF, when the text is asked for.
    using Source = std::function<std::string()>;

    explicit ResultsMimeData(Source source) : source_(std::move(source)) {}

    QStringList formats() const override;
    bool hasFormat(const QString& type) const override;

protected:
    QVariant retrieveData(const QString& type, QMetaType meta_type) const override;

private:
    Source source_;
};

}  // namespace bukvotok
