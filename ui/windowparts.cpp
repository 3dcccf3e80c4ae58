#include "windowparts.h"

#include "events.h"
#include "windowkeys.h"
#include "windowtoolbar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>

WindowToolbar* BuildDialogToolbar(QWidget* window) {
    auto* toolbar = new WindowToolbar(window);
    toolbar->addButton(QStringLiteral("Clos&e"), QStringLiteral("Cancel"), QStringLiteral("Close"),
                       window->style()->standardIcon(QStyle::SP_DialogCloseButton));
    InterceptWindowKeys(window,
                        [toolbar](QKeyEvent* event) { return toolbar->clickByAltLetter(event); });
    return toolbar;
}

QLabel* BuildHelpStrip(QWidget* window, const QString& text) {
    auto* strip = new QWidget(window);
    strip->setObjectName(QStringLiteral("PICTURE_Help"));
    strip->setAutoFillBackground(true);
    strip->setBackgroundRole(QPalette::Base);
    strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QHBoxLayout(strip);
    auto* image = new QLabel(strip);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(
        QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto* label = new QLabel(text, strip);
    label->setObjectName(QStringLiteral("LABEL_Help"));
    label->setWordWrap(true);
    layout->addWidget(image);
    layout->addWidget(label, 1);
    return label;
}

void ShowAsEntryField(QWidget* field, bool entry) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(entry ? QPalette::Base : QPalette::Button));
    field->setPalette(palette);
}

void LoadOnFirstShow(QWidget* window, bool& activated, std::function<void()> load) {
    if (activated)
        return;
    activated = true;
    QTimer::singleShot(0, window, [window, load = std::move(load)] {
        window->repaint();
        LetEventsRun();
        load();
    });
}
