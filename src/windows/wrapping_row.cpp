#include "windows/wrapping_row.h"

#include <QWidget>

#include <algorithm>

namespace pellucard {

WrappingRow::WrappingRow(QWidget* parent) : QLayout(parent) {}

WrappingRow::~WrappingRow() {
    if (partner_ != nullptr)
        partner_->partner_ = nullptr;
    partner_ = nullptr;
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void WrappingRow::addWidget(QWidget* widget, int stretch) {
    addChildWidget(widget);
    entries_.append({new QWidgetItem(widget), stretch});
    invalidate();
}

void WrappingRow::addGroup(QLayout* group, int stretch) {
    addChildLayout(group);
    entries_.append({group, stretch});
    invalidate();
}

void WrappingRow::addItem(QLayoutItem* item) {
    entries_.append({item, 0});
    invalidate();
}

int WrappingRow::count() const {
    return static_cast<int>(entries_.size());
}

QLayoutItem* WrappingRow::itemAt(int index) const {
    return index >= 0 && index < count() ? entries_[index].item : nullptr;
}

QLayoutItem* WrappingRow::takeAt(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = entries_.takeAt(index).item;
    invalidate();
    return item;
}

Qt::Orientations WrappingRow::expandingDirections() const {
    return {};
}

bool WrappingRow::hasHeightForWidth() const {
    return true;
}

int WrappingRow::heightForWidth(int width) const {
    const int own = arrange(QRect(0, 0, width, 0), false);
    return partner_ != nullptr ? std::max(own, partner_->arrange(QRect(0, 0, width, 0), false))
                               : own;
}

void WrappingRow::alignWith(WrappingRow* partner) {
    if (partner_ != nullptr)
        partner_->partner_ = nullptr;
    partner_ = partner;
    if (partner != nullptr)
        partner->partner_ = this;
    invalidate();
}

void WrappingRow::invalidate() {
    QLayout::invalidate();
    // The partner's height follows this row's lines.
    if (partner_ != nullptr && !invalidating_) {
        invalidating_ = true;
        partner_->invalidate();
        invalidating_ = false;
    }
}

QSize WrappingRow::minimumSize() const {
    // The widest control alone on its line; the height follows from the width given.
    QSize size;
    for (const Entry& entry : entries_) {
        if (!entry.item->isEmpty())
            size = size.expandedTo(entry.item->minimumSize());
    }
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize WrappingRow::sizeHint() const {
    // Everything on one line.
    int width = 0;
    int height = 0;
    int shown = 0;
    for (const Entry& entry : entries_) {
        if (entry.item->isEmpty())
            continue;
        const QSize hint = entry.item->sizeHint();
        width += hint.width();
        height = std::max(height, hint.height());
        ++shown;
    }
    const QMargins margins = contentsMargins();
    return QSize(width + gap() * std::max(0, shown - 1) + margins.left() + margins.right(),
                 height + margins.top() + margins.bottom());
}

void WrappingRow::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int WrappingRow::gap() const {
    // Set, else the parent layout's or the style's; some styles leave it to the layouts.
    constexpr int kFallbackSpacing = 6;
    const int value = spacing();
    return value >= 0 ? value : kFallbackSpacing;
}

int WrappingRow::arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int room = std::max(area.width(), 0);
    const int spacing = gap();

    // Each shown entry's width on its line: a stretching one starts at its minimum and grows
    // into what the line has left; the others keep their preferred width where that fits a
    // line, else the whole line, never below their minimum.
    struct Placed {
        const Entry* entry;
        int width;
    };
    QList<QList<Placed>> lines;
    int used = 0;
    for (const Entry& entry : entries_) {
        if (entry.item->isEmpty())
            continue;
        const int minimum = entry.item->minimumSize().width();
        const int preferred = entry.stretch > 0 ? minimum : entry.item->sizeHint().width();
        const int width = std::max(std::min(preferred, room), minimum);
        const int needed =
            lines.isEmpty() || lines.last().isEmpty() ? width : used + spacing + width;
        if (lines.isEmpty() || (needed > room && !lines.last().isEmpty())) {
            lines.append(QList<Placed>());
            used = width;
        } else {
            used = needed;
        }
        lines.last().append(Placed{&entry, width});
    }

    int y = area.top();
    for (QList<Placed>& line : lines) {
        int lineWidth = spacing * (static_cast<int>(line.size()) - 1);
        int stretches = 0;
        int height = 0;
        for (const Placed& placed : line) {
            lineWidth += placed.width;
            stretches += placed.entry->stretch;
            height = std::max(height, placed.entry->item->sizeHint().height());
        }
        // What the line has left goes to its stretching controls, shared by their stretch.
        int spare = std::max(room - lineWidth, 0);
        if (stretches > 0) {
            for (Placed& placed : line) {
                if (placed.entry->stretch == 0)
                    continue;
                const int share = spare * placed.entry->stretch / stretches;
                const int grown =
                    std::min(placed.width + share,
                             std::max(placed.entry->item->maximumSize().width(), placed.width));
                spare -= grown - placed.width;
                stretches -= placed.entry->stretch;
                placed.width = grown;
            }
        }
        if (apply) {
            int x = area.left();
            for (const Placed& placed : line) {
                QLayoutItem* item = placed.entry->item;
                const int itemHeight =
                    item->hasHeightForWidth()
                        ? item->heightForWidth(placed.width)
                        : std::min(height, std::max(item->maximumSize().height(), 0));
                const int top = y + (height - std::min(itemHeight, height)) / 2;
                item->setGeometry(QRect(x, top, placed.width, std::min(itemHeight, height)));
                x += placed.width + spacing;
            }
        }
        y += height + spacing;
    }
    if (apply)
        lines_ = std::max(1, static_cast<int>(lines.size()));
    const QMargins margins = contentsMargins();
    const int height = lines.isEmpty() ? 0 : y - spacing - area.top();
    return height + margins.top() + margins.bottom();
}

}  // namespace pellucard
