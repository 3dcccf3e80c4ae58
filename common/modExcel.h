#pragma once

#include <QString>
#include <QVariant>

qint32 xlsOpen_Workbook(const QString& path);
void xlsWrite_Cell(int sheetIndex, int row, int column, const QVariant& value);
bool xlsPrint_Worksheet(const QString& sheetName, int copies, const QString& printer);
void xlsClose_Workbook(bool saveChanges);
