#pragma once

#include <QListWidget>
#include <QString>

#include <vector>

class CExtentDelegate;

// A list box whose horizontal scroll bar always reaches its widest line: every
// change of content passes through the width bookkeeping of the five virtual
// operations. Entries are kept sorted ignoring case unless sorting is turned
// off; each carries one integer of item data.
class CHScrollListBox : public QListWidget {
    Q_OBJECT

public:
    // The list box's answers for a failed operation and for running out of room.
    static constexpr int kError = -1;
    static constexpr int kErrorSpace = -2;
    // Attributes of Dir: plain files, subdirectories as "[name]", and only the
    // kinds named.
    static constexpr unsigned kDirReadWrite = 0x0000;
    static constexpr unsigned kDirDirectory = 0x0010;
    static constexpr unsigned kDirExclusive = 0x8000;

    explicit CHScrollListBox(QWidget* parent = nullptr);

    // Adds the matching names of `fileSpec` (a path whose last part may hold
    // wildcards); returns the index of the last one added or kError.
    virtual int Dir(unsigned attributes, const QString& fileSpec);
    virtual void ResetContent();
    // Inserts at `index` (-1: at the end) without sorting; the index or kError.
    virtual int InsertString(int index, const QString& text);
    // The number of entries left, or kError.
    virtual int DeleteString(int index);
    // The new entry's index.
    virtual int AddString(const QString& text);

    struct Entry {
        QString text;
        int data = 0;
    };
    // Replaces the content as ResetContent and AddString with SetItemData for
    // each entry would, in one sort and one measuring pass: a list of many
    // thousands fills in n log n, where adding one by one is quadratic.
    void SetContent(std::vector<Entry> entries);

    // Pixels of `text` in the list's font plus the font's average character
    // width; 0 when the list has no font.
    int GetTextWidth(const QString& text) const;
    // The largest GetTextWidth over the non-empty entries; 0 if none.
    int GetMaxTextWidth() const;

    int GetHorizontalExtent() const;
    void SetHorizontalExtent(int extent);
    int GetCount() const;
    QString GetText(int index) const;
    int GetItemData(int index) const;
    int SetItemData(int index, int data);
    // The first entry whose item data is `data`, or kError.
    int FindItemData(int data) const;
    // The selected entry, kError when none is. The user's changes of the
    // selection are announced by itemSelectionChanged.
    int GetCurSel() const;
    // Selects the entry (none for -1, which answers kError), without
    // announcing it: the program's choice is not the user's.
    int SetCurSel(int index);

    void SetSorted(bool sorted);
    // A list without a font of its own measures every text as 0 pixels wide.
    void SetHasFont(bool hasFont);

protected:
    // A new font measures every entry again.
    void changeEvent(QEvent* event) override;
    // A single selection that never empties: a click beside the entries or
    // Ctrl+click on the selected one leaves it selected.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Adds at the sorted position, or at the end of an unsorted list.
    int AddEntry(const QString& text);
    int ListDirectory(unsigned attributes, const QString& fileSpec);

    // Holds the horizontal extent, the width every entry is laid out at.
    CExtentDelegate* m_extent;
    bool m_sorted = true;
    bool m_hasFont = true;
};
