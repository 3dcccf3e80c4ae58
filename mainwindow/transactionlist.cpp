#include "transactionlist.h"

#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>

TransactionList::TransactionList(QWidget* parent) : QListWidget(parent) {
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A bar that came and went with the range would lay the list out again and again.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TransactionList::setHorizontalExtent(int pixels) {
    extent_ = pixels;
    updateGeometries();
}

void TransactionList::updateGeometries() {
    QListWidget::updateGeometries();
    QScrollBar* bar = horizontalScrollBar();
    const int reach = extent_ - viewport()->width();
    if (reach > bar->maximum())
        bar->setRange(0, reach);
}

// Every line, however it was added: a narrow list cuts long lines off.
bool TransactionList::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const QListWidgetItem* line = itemAt(help->pos()))
        QToolTip::showText(help->globalPos(), line->text(), viewport(), visualItemRect(line));
    else
        QToolTip::hideText();
    return true;
}

void TransactionList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    emit listDoubleClicked();
}
