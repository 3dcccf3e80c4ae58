#include "modGUID.h"

#include <QUuid>

QString ZeroPad(const QString& text, qint16 width) {
    if (width <= 0)
        return {};
    return (QString(width, '0') + text).right(width);
}

namespace {
QString hexUpper(qulonglong value) {
    return QString::number(value, 16).toUpper();
}

QString bytesUnwidened(const uchar* bytes, int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += hexUpper(bytes[i]);
    return text;
}
} // namespace

QString NewGUIDString() {
    const QUuid guid = QUuid::createUuid();
    if (guid.isNull())
        return {};
    return '{' + ZeroPad(hexUpper(guid.data1), 8) + '-' + ZeroPad(hexUpper(guid.data2), 4) + '-' +
           ZeroPad(hexUpper(guid.data3), 4) + '-' + ZeroPad(bytesUnwidened(guid.data4, 2), 4) +
           '-' + ZeroPad(bytesUnwidened(guid.data4 + 2, 6), 12) + '}';
}
