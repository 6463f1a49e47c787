#include "framework/widgets/HScrollListBox.h"
#include "framework/widgets/ExtentDelegate.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSignalBlocker>

#include <algorithm>

namespace {

int WidthIn(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text) + metrics.averageCharWidth();
}

} // namespace

CHScrollListBox::CHScrollListBox(QWidget* parent)
    : QListWidget(parent), m_extent(new CExtentDelegate(this)) {
    setItemDelegate(m_extent);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    // A long name scrolls sideways; it is never cut short.
    setTextElideMode(Qt::ElideNone);
}

int CHScrollListBox::Dir(unsigned attributes, const QString& fileSpec) {
    const int answer = ListDirectory(attributes, fileSpec);
    if (answer != kError && answer != kErrorSpace) {
        SetHorizontalExtent(GetMaxTextWidth());
    }
    return answer;
}

void CHScrollListBox::ResetContent() {
    SetHorizontalExtent(0);
    clear();
}

int CHScrollListBox::InsertString(int index, const QString& text) {
    if (index < -1 || index > count()) {
        return kError;
    }
    const int at = index == -1 ? count() : index;
    insertItem(at, text);
    SetHorizontalExtent(std::max(GetHorizontalExtent(), GetTextWidth(text)));
    return at;
}

int CHScrollListBox::DeleteString(int index) {
    if (index < 0 || index >= count()) {
        return kError;
    }
    delete takeItem(index);
    SetHorizontalExtent(GetMaxTextWidth());
    return count();
}

int CHScrollListBox::AddString(const QString& text) {
    // Widened before the add, whatever the add answers.
    SetHorizontalExtent(std::max(GetHorizontalExtent(), GetTextWidth(text)));
    return AddEntry(text);
}

void CHScrollListBox::SetContent(std::vector<Entry> entries) {
    ResetContent();
    if (m_sorted) {
        // Stable, as adding one by one puts an entry after those it equals.
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
        });
    }
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const Entry& entry : entries) {
        if (m_hasFont) {
            widest = std::max(widest, WidthIn(metrics, entry.text));
        }
        auto* item = new QListWidgetItem(entry.text);
        item->setData(Qt::UserRole, entry.data);
        addItem(item);
    }
    SetHorizontalExtent(widest);
}

int CHScrollListBox::GetTextWidth(const QString& text) const {
    if (!m_hasFont) {
        return 0;
    }
    return WidthIn(QFontMetrics(font()), text);
}

int CHScrollListBox::GetMaxTextWidth() const {
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QString text = item(i)->text();
        if (!text.isEmpty()) {
            widest = std::max(widest, GetTextWidth(text));
        }
    }
    return widest;
}

int CHScrollListBox::GetHorizontalExtent() const {
    return m_extent->Extent();
}

void CHScrollListBox::SetHorizontalExtent(int extent) {
    m_extent->SetExtent(extent);
    // The view keeps the size of the entry it measured; it measures again.
    doItemsLayout();
}

int CHScrollListBox::GetCount() const {
    return count();
}

QString CHScrollListBox::GetText(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->text() : QString();
}

int CHScrollListBox::GetItemData(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->data(Qt::UserRole).toInt() : kError;
}

int CHScrollListBox::SetItemData(int index, int data) {
    QListWidgetItem* entry = item(index);
    if (entry == nullptr) {
        return kError;
    }
    entry->setData(Qt::UserRole, data);
    return 0;
}

int CHScrollListBox::FindItemData(int data) const {
    for (int index = 0; index < count(); ++index) {
        if (GetItemData(index) == data) {
            return index;
        }
    }
    return kError;
}

int CHScrollListBox::GetCurSel() const {
    // The current row is where the keyboard focus is; it selects nothing by
    // itself (tabbing into the list makes the first entry current).
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? kError : row(selected.first());
}

int CHScrollListBox::SetCurSel(int index) {
    const QSignalBlocker quiet(this);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return kError;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

void CHScrollListBox::SetSorted(bool sorted) {
    m_sorted = sorted;
}

void CHScrollListBox::SetHasFont(bool hasFont) {
    m_hasFont = hasFont;
}

void CHScrollListBox::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        SetHorizontalExtent(GetMaxTextWidth());
    }
}

QItemSelectionModel::SelectionFlags CHScrollListBox::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
    const auto command = QListWidget::selectionCommand(index, event);
    if (!index.isValid() ||
        (command & (QItemSelectionModel::Toggle | QItemSelectionModel::Deselect))) {
        return index.isValid() ? QItemSelectionModel::ClearAndSelect
                               : QItemSelectionModel::NoUpdate;
    }
    return command;
}

int CHScrollListBox::AddEntry(const QString& text) {
    int at = count();
    for (int i = 0; m_sorted && i < count(); ++i) {
        if (QString::compare(text, item(i)->text(), Qt::CaseInsensitive) < 0) {
            at = i;
            break;
        }
    }
    insertItem(at, text);
    return at;
}

int CHScrollListBox::ListDirectory(unsigned attributes, const QString& fileSpec) {
    const QFileInfo pattern(fileSpec);
    const QDir directory = pattern.dir();
    if (!directory.exists()) {
        return kError;
    }
    QDir::Filters filters = QDir::NoDotAndDotDot;
    if ((attributes & kDirExclusive) == 0) {
        filters |= QDir::Files;
    }
    if ((attributes & kDirDirectory) != 0) {
        filters |= QDir::Dirs;
    }
    int last = kError;
    const auto entries =
        directory.entryInfoList({pattern.fileName()}, filters, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.isDir() ? "[" + entry.fileName() + "]" : entry.fileName();
        last = AddEntry(name);
    }
    return last;
}
