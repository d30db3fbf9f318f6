#include "Workbooks.h"

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

void WriteXlsx(const QString& path, const QList<QVariantList>& rows,
               const QStringList& sheetNames) {
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    ASSERT_NE(workbook, nullptr);
    lxw_format* dateFormat = workbook_add_format(workbook);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    QList<lxw_worksheet*> sheets;
    for (const QString& name : sheetNames)
        sheets << workbook_add_worksheet(workbook, name.toUtf8().constData());
    lxw_worksheet* sheet = sheets.first();
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column) {
            const QVariant& value = rows[row][column];
            if (value.isNull())
                continue;
            switch (value.typeId()) {
            case QMetaType::QString:
                worksheet_write_string(sheet, row, column, value.toString().toUtf8().constData(),
                                       nullptr);
                break;
            case QMetaType::QDate: {
                const QDate date = value.toDate();
                lxw_datetime when = {date.year(), date.month(), date.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, row, column, &when, dateFormat);
                break;
            }
            case QMetaType::Bool:
                worksheet_write_boolean(sheet, row, column, value.toBool(), nullptr);
                break;
            default:
                worksheet_write_number(sheet, row, column, value.toDouble(), nullptr);
            }
        }
    }
    for (int i = 1; i < sheets.size(); ++i)
        worksheet_write_string(sheets[i], 0, 0, "其他表", nullptr);
    ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);
}

void WriteZip(const QString& path, const QList<QPair<QString, QByteArray>>& members) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : members) {
        // libzip reads the buffers when the archive is closed; they live in members till then.
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        ASSERT_GE(zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

QList<QPair<QString, QByteArray>> HandWrittenWorkbook(const QByteArray& sheetXml,
                                                      const QByteArray& sharedStringsXml) {
    const QByteArray relations =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    const QByteArray workbook =
        R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheets><sheet name="导入" sheetId="1" r:id="rId7"/></sheets></workbook>)";
    QByteArray workbookRelations =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>)";
    if (!sharedStringsXml.isEmpty())
        workbookRelations +=
            R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>)";
    workbookRelations += "</Relationships>";
    QList<QPair<QString, QByteArray>> members = {{"_rels/.rels", relations},
                                                 {"xl/workbook.xml", workbook},
                                                 {"xl/_rels/workbook.xml.rels", workbookRelations},
                                                 {"xl/worksheets/data.xml", sheetXml}};
    if (!sharedStringsXml.isEmpty())
        members.append({"xl/strings.xml", sharedStringsXml});
    return members;
}
