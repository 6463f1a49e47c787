#include "framework/widgets/ExtentDelegate.h"

CExtentDelegate::CExtentDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

int CExtentDelegate::Extent() const {
    return m_extent;
}

void CExtentDelegate::SetExtent(int extent) {
    m_extent = extent;
}

QSize CExtentDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    return {m_extent, QStyledItemDelegate::sizeHint(option, index).height()};
}
