// The Win32 box's clipboard.  A copy puts a snapshot that shares the text's blocks on the
// clipboard and promises the formats (delayed rendering): it returns at once however much was
// copied, and keeps the bytes copied whatever the text does next.  Only a request for a format,
// by another program or by a paste, converts them: Unicode text (CF_UNICODETEXT) with the line
// breaks as CR LF, and the bytes themselves for programs that read 8-bit text (CF_TEXT, with a
// Russian CF_LOCALE).  A paste of the box's own copy takes the shared blocks back as they are.
#pragma once

#include <windows.h>

#include <optional>

#include "BlockBytes.h"
#include "ResultsFace.h"

namespace bukvotok::win32 {

class ResultsBoxClipboard {
public:
    // The clipboard's content replaced by `bytes`, owned by `owner`.  Raises ClipboardError when
    // another program holds the clipboard.
    void Put(HWND owner, const BlockBytes& bytes);
    // What the clipboard holds as text: the box's own copy, or another program's text, copied
    // out of the clipboard so that it need not stay open while the editor reads it.  Raises
    // ClipboardError when another program holds the clipboard.
    std::optional<IncomingText> Read(HWND owner) const;
    bool HasText() const;

    // The owner's messages: a format asked for (the clipboard is open), every format before the
    // owner goes, and the clipboard emptied by someone else.
    void Render(UINT format) const noexcept;
    void RenderAll(HWND owner) const noexcept;
    void Forget() { copied_.reset(); }

private:
    std::optional<BlockBytes> copied_;
};

}  // namespace bukvotok::win32
