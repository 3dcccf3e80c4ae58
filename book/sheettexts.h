#pragma once

#include <QList>
#include <QStringList>

// A rectangle of texts on a worksheet, texts[0][0] at (row, column), written in one call. Every
// form's plan is a list of these, worked out without an office.
struct SheetTexts {
    int row = 0;
    int column = 0;
    QList<QStringList> texts;
};
