#pragma once

#include <QLayout>
#include <QList>

namespace pellucard {

// A row of controls that wraps onto further lines when its width cannot hold them all, so that
// a row of buttons whose captions grow with the language never pushes its window wider than
// the screen. Each control keeps its preferred width while that fits a line (its minimum
// width at worst); what a line has left over goes to the controls added with a stretch, else
// stays at the right. A group (a nested layout, such as a caption with its field) wraps as one.
class WrappingRow final : public QLayout {
    Q_OBJECT

public:
    explicit WrappingRow(QWidget* parent = nullptr);
    ~WrappingRow() override;

    void addWidget(QWidget* widget, int stretch = 0);
    // `group` becomes a child of this layout and stays on one line.
    void addGroup(QLayout* group, int stretch = 0);

    // QLayout
    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;
    void invalidate() override;

    // Two rows side by side in halves of a window of the same width take the height of the one
    // with more lines, so that what lies below them lines up. Both are paired; null unpairs.
    void alignWith(WrappingRow* partner);

    // How many lines the row takes at its current width (1 when it has not been laid out).
    int lineCount() const { return lines_; }

private:
    struct Entry {
        QLayoutItem* item;
        int stretch;
    };
    // Lays the entries out in `rect` (only measures when `apply` is false) and returns the
    // height used.
    int arrange(const QRect& rect, bool apply) const;
    int gap() const;

    QList<Entry> entries_;
    WrappingRow* partner_ = nullptr;
    bool invalidating_ = false;
    mutable int lines_ = 1;
};

}  // namespace pellucard
