// What assistive technology sees of the results box: an editable, multi-line text whose
// characters are its bytes one for one (a line break is the two characters CR LF), read a piece
// at a time however large the text has grown.
#pragma once

#include <QAccessibleWidget>

namespace bukvotok {

class ResultsBox;

class ResultsAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultsAccessible(ResultsBox* box);

    // Makes Qt's accessibility ask this class for every results box.
    static void Install();

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
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int start_index, int end_index) override;
    QString attributes(int offset, int* start_offset, int* end_offset) const override;

private:
    ResultsBox* Box() const;
};

}  // namespace bukvotok
