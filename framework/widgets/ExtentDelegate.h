#pragma once

#include <QStyledItemDelegate>

// Draws a list's entries as the style does, but says every entry is as wide
// as the list's horizontal extent: the view then lays its contents out that
// wide and its own scroll bar reaches the widest line, whichever entry it
// measures.
class CExtentDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit CExtentDelegate(QObject* parent = nullptr);

    int Extent() const;
    void SetExtent(int extent);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_extent = 0;
};
