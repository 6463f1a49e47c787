#include "framework/widgets/DialogBuilder.h"

#include "framework/widgets/HScrollListBox.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

QFont DialogFont(int pointSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(pointSize);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    // Half the width of 26 letters, rounded: the average width of one.
    const int averageWidth = (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
    return {averageWidth, metrics.height()};
}

QRect ToPixels(const DialogUnitRect& rect, DialogBaseUnits units) {
    const PixelRect pixels = DialogUnitsToPixels(rect, units);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

QSize DialogPixelSize(const CDialogTemplate& dialog) {
    return ToPixels({0, 0, dialog.width, dialog.height}, BaseUnitsOf(DialogFont(dialog.pointSize)))
        .size();
}

namespace {
bool Has(const DialogControl& control, DialogStyle style) {
    return (control.styles & style) != 0;
}

QWidget* CreateListBox(const DialogControl& control, QWidget& page) {
    auto* list = new CHScrollListBox(&page);
    list->SetSorted(Has(control, kStyleSort));
    list->setHorizontalScrollBarPolicy(Has(control, kStyleHScroll) ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Has(control, kStyleVScroll) ? Qt::ScrollBarAsNeeded
                                                                 : Qt::ScrollBarAlwaysOff);
    return list;
}

QWidget* CreateStatic(const DialogControl& control, QWidget& page) {
    auto* label = new QLabel(QString::fromStdString(control.text), &page);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (Has(control, kStyleSunken)) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

QWidget* CreateEdit(const DialogControl& control, QWidget& page) {
    if (!Has(control, kStyleMultiLine)) {
        auto* line = new QLineEdit(QString::fromStdString(control.text), &page);
        line->setReadOnly(Has(control, kStyleReadOnly));
        return line;
    }
    auto* edit = new QPlainTextEdit(QString::fromStdString(control.text), &page);
    edit->setReadOnly(Has(control, kStyleReadOnly));
    edit->setVerticalScrollBarPolicy(Has(control, kStyleVScroll) ? Qt::ScrollBarAsNeeded
                                                                 : Qt::ScrollBarAlwaysOff);
    return edit;
}

QWidget* CreateTreeView(const DialogControl& control, QWidget& page) {
    auto* tree = new QTreeWidget(&page);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(Has(control, kStyleLinesAtRoot));
    // Long items scroll sideways, as a tree view does, instead of being cut short.
    tree->setTextElideMode(Qt::ElideNone);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return tree;
}

QWidget* CreateFrame(QWidget& page) {
    auto* frame = new QFrame(&page);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    return frame;
}

QWidget* CreateControl(const DialogControl& control, QWidget& page) {
    const QString text = QString::fromStdString(control.text);
    switch (control.kind) {
    case DialogControlKind::ListBox:
        return CreateListBox(control, page);
    case DialogControlKind::Button:
        return new QPushButton(text, &page);
    case DialogControlKind::Static:
        return CreateStatic(control, page);
    case DialogControlKind::GroupBox:
        return new QGroupBox(text, &page);
    case DialogControlKind::Edit:
        return CreateEdit(control, page);
    case DialogControlKind::TreeView:
        return CreateTreeView(control, page);
    case DialogControlKind::Frame:
        return CreateFrame(page);
    }
    return CreateFrame(page);
}
} // namespace

std::map<int, QWidget*> BuildDialogControls(const CDialogTemplate& dialog, QWidget& page) {
    const QFont font = DialogFont(dialog.pointSize);
    page.setFont(font);
    const DialogBaseUnits units = BaseUnitsOf(font);
    std::map<int, QWidget*> controls;
    for (const DialogControl& control : dialog.controls) {
        QWidget* widget = CreateControl(control, page);
        widget->setGeometry(ToPixels(control.rect, units));
        widget->setFocusPolicy(Has(control, kStyleTabStop) ? Qt::StrongFocus : Qt::NoFocus);
        widget->setVisible(!Has(control, kStyleHidden));
        if (control.id != kNoControlId) {
            controls[control.id] = widget;
        }
    }
    return controls;
}
