// Text of the results box on its way to the clipboard, a drag or the X11 selection.  It holds
// no text of its own: its source gives the box's bytes, sharing the text's blocks, so that
// copying or selecting gigabytes costs nothing.  The Unicode text others read is made only when
// one of them asks, with the progress dialog over the window while a large one is made; the box
// itself takes the bytes as they are.
#pragma once

#include <QMimeData>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "BlockBytes.h"

namespace bukvotok {

class ResultsMimeData : public QMimeData {
    Q_OBJECT

public:
    // Gives the bytes, line breaks as CR LF, when they are asked for.
    using Source = std::function<BlockBytes()>;

    // `window`: where the progress of a long conversion shows, if it is still there.
    ResultsMimeData(Source source, QWidget* window);

    // The bytes as they are now.
    BlockBytes Bytes() const { return source_(); }

    QStringList formats() const override;
    bool hasFormat(const QString& type) const override;

protected:
    // As Unicode text, or as its UTF-8 when bytes are asked for (as X11 asks).
    QVariant retrieveData(const QString& type, QMetaType meta_type) const override;

private:
    Source source_;
    QPointer<QWidget> window_;
};

}  // namespace bukvotok
