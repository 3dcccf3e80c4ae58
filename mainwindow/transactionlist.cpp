#include "transactionlist.h"

#include <QScrollBar>

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

void TransactionList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    emit listDoubleClicked();
}
