// What assistive technology sees of the results box: an editable, multi-line text whose
// characters are its bytes one for one (a line break is the two characters CR LF), read a piece
// at a time however large the text has grown.  A character, a word, a line (the line on
// screen) or a paragraph is found and read within a bounded stretch around its offset, where
// Qt's own answers would read the whole text each time; and no question shows an error box:
// one that cannot be answered gets an empty answer.
#pragma once

#include <QAccessibleWidget>
#include <cstddef>

namespace bukvotok {

class ResultsBox;

class ResultsAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultsAccessible(ResultsBox* box);

    // Makes Qt's accessibility ask this class for every results box.
    static void Install();
    // Tells assistive technology where the text changed, with the `inserted` bytes put in at
    // `at` when they are few: a screen reader reads the rest from the text.
    static void TextChanged(ResultsBox& box, std::size_t at, std::size_t inserted) noexcept;

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selection_index, int* start_offset, int* end_offset) const override;
    int selectionCount() const override;
    void addSelection(int start_offset, int end_offset) override;
    void removeSelection(int selection_index) override;
    void setSelection(int selection_index, int start_offset, int end_offset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text type) const override;
    QString text(int start_offset, int end_offset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start_offset,
                             int* end_offset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start_offset,
                            int* end_offset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start_offset,
                         int* end_offset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int start_index, int end_index) override;
    QString attributes(int offset, int* start_offset, int* end_offset) const override;

private:
    ResultsBox* Box() const;

    struct Item {
        std::size_t from = 0;
        std::size_t to = 0;
    };
    // The item of `type` that holds `offset`; empty at the end of the text.
    Item ItemAt(std::size_t offset, QAccessible::TextBoundaryType type) const;
    std::size_t OffsetOf(int offset) const;
    // The item's text, and its offsets; an empty text when memory runs out.
    QString Answer(Item item, int* start_offset, int* end_offset) const;
    QString Text(std::size_t from, std::size_t to) const noexcept;
};

}  // namespace bukvotok
