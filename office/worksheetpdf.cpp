#include "worksheetpdf.h"

#include "onlysheetshown.h"
#include "unovalues.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUuid>
#include <com/sun/star/frame/XStorable.hpp>
#include <cstdio>

using namespace css;

bool ExportWorksheetPdf(OfficeSession& office,
                        const uno::Reference<sheet::XSpreadsheetDocument>& document,
                        const QString& sheetName, const QString& path) {
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                              QStringLiteral(".") + QUuid::createUuid().toString(QUuid::Id128);
    const bool exported = office.Call(
        [&] {
            const OnlySheetShown shown(document, ToOUString(sheetName));
            uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
            storable->storeToURL(
                ToOUString(QUrl::fromLocalFile(temporary).toString()),
                Properties({Property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export"))),
                            Property("Overwrite", uno::Any(true))}));
        },
        OfficeSession::DocumentLimit);
    const bool replaced =
        exported && std::rename(QFile::encodeName(temporary).constData(),
                                QFile::encodeName(target.absoluteFilePath()).constData()) == 0;
    if (!replaced)
        QFile::remove(temporary);
    return replaced;
}
