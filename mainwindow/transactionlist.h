#pragma once

#include <QListWidget>

// The transaction log list: it scrolls sideways over at least its horizontal extent, shows a
// line whole as its tooltip, and reports a double click anywhere on it.
class TransactionList : public QListWidget {
    Q_OBJECT
  public:
    explicit TransactionList(QWidget* parent);

    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return extent_; }

  signals:
    void listDoubleClicked();

  protected:
    void updateGeometries() override;
    bool viewportEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int extent_ = 0;
};
