// The .xlsx reader: the workbook's parts are read straight out of the zip with libzip and
// parsed as a stream, the sheet one row at a time.
#include "data/Exceptions.h"
#include "maintenance/WorkbookFormats.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <zip.h>

#include <vector>

namespace {

using namespace Qt::StringLiterals;

// More distinct texts than a sheet of Excel's size would need; each costs memory even when empty.
constexpr qsizetype kMaxSharedStrings = 4 * 1000 * 1000;

// One member of the zip, read through libzip as it is decompressed, never more than limit
// bytes.
class TZipEntryDevice : public QIODevice {
public:
    TZipEntryDevice(zip_t* archive, zip_uint64_t index, qint64 limit) : limit(limit) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
            stat.size > zip_uint64_t(limit))
            tooLarge = true;
        else
            file = zip_fopen_index(archive, index, 0);
        damaged = !tooLarge && !file;
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~TZipEntryDevice() override {
        if (file)
            zip_fclose(file);
    }
    bool isSequential() const override { return true; }

    // Raises the reason a read of the member failed, when one did.
    void FailIfBroken() const {
        if (tooLarge)
            FailWorkbook(kWorkbookTooLarge);
        if (damaged)
            FailWorkbook(kWorkbookDamaged);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!file || tooLarge || damaged)
            return -1;
        const zip_int64_t count = zip_fread(file, data, zip_uint64_t(maxSize));
        if (count < 0) {
            damaged = true;
            return -1;
        }
        total += count;
        if (total > limit) {
            tooLarge = true;
            return -1;
        }
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file = nullptr;
    qint64 limit;
    qint64 total = 0;
    bool tooLarge = false;
    bool damaged = false;
};

// One XML part being parsed: its reader and the device under it.
class TXmlPart {
public:
    TXmlPart(zip_t* archive, zip_uint64_t index, qint64 limit)
        : device(archive, index, limit), xml(&device) {}
    // Any parse or read failure as the reason for the user.
    [[noreturn]] void Fail() const {
        device.FailIfBroken();
        FailWorkbook(kWorkbookDamaged);
    }
    void FailIfError() const {
        if (xml.hasError())
            Fail();
    }

    TZipEntryDevice device;
    QXmlStreamReader xml;
};

struct TRelation {
    QString type;
    QString target;
};

// The part a relation's target names, seen from the folder of the part that holds it.
QString ResolveTarget(const QString& folder, const QString& target) {
    if (target.startsWith('/'))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(folder.isEmpty() ? target : folder + '/' + target);
}

QString FolderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf('/');
    return slash < 0 ? QString() : part.left(slash);
}

// The column of a cell reference such as "AB12": 0 for A; -1 when it is not one.
int ColumnOfReference(QStringView reference) {
    int column = 0;
    qsizetype letters = 0;
    for (; letters < reference.size() && reference[letters].isLetter(); ++letters) {
        const char16_t ch = reference[letters].toUpper().unicode();
        if (ch < u'A' || ch > u'Z' || letters == 3)
            return -1;
        column = column * 26 + (ch - u'A' + 1);
    }
    return letters == 0 || column > kMaxColumns ? -1 : column - 1;
}

// Every text of the rich text element the reader stands on (a shared string or an inline
// string), its runs joined, phonetic guides left out.
QString ReadRichText(TXmlPart& part) {
    QXmlStreamReader& xml = part.xml;
    QString text;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token != QXmlStreamReader::StartElement) {
            continue;
        } else if (xml.name() == "t"_L1) {
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (text.size() > kMaxCellChars)
                FailWorkbook(kCellTooLong);
        } else if (xml.name() == "rPh"_L1 || xml.name() == "phoneticPr"_L1) {
            xml.skipCurrentElement();
        } else {
            ++depth;
        }
    }
    part.FailIfError();
    return text;
}

// The first sheet of an .xlsx workbook.
class TXlsxSheet : public TSheetReader {
public:
    TXlsxSheet(const QString& path, const TSheetLimits& limits) : limits(limits) {
        int error = 0;
        archive.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
        if (!archive)
            FailWorkbook(kWorkbookDamaged);
        OpenFirstSheet();
    }

    bool NextRow(QStringList& cells) override {
        QXmlStreamReader& xml = sheet->xml;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == "row"_L1 &&
                ReadRow(cells))
                return true;
        }
        sheet->FailIfError();
        return false;
    }

private:
    zip_int64_t Locate(const QString& name) const {
        return zip_name_locate(archive.get(), name.toUtf8().constData(), ZIP_FL_NOCASE);
    }

    std::unique_ptr<TXmlPart> OpenPart(const QString& name, qint64 limit) const {
        const zip_int64_t index = Locate(name);
        if (index < 0)
            return nullptr;
        return std::make_unique<TXmlPart>(archive.get(), zip_uint64_t(index), limit);
    }

    // The relations of a part, by their ids; none when the part has no relations part.
    QHash<QString, TRelation> ReadRelations(const QString& part) const {
        const QString folder = FolderOf(part);
        const QString name = (folder.isEmpty() ? QString() : folder + '/') + "_rels/"_L1 +
                             part.mid(folder.isEmpty() ? 0 : folder.size() + 1) + ".rels"_L1;
        QHash<QString, TRelation> relations;
        const std::unique_ptr<TXmlPart> rels = OpenPart(name, limits.partBytes);
        if (!rels)
            return relations;
        QXmlStreamReader& xml = rels->xml;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != "Relationship"_L1)
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            relations.insert(attributes.value("Id"_L1).toString(),
                             {attributes.value("Type"_L1).toString(),
                              ResolveTarget(folder, attributes.value("Target"_L1).toString())});
        }
        rels->FailIfError();
        return relations;
    }

    static QString TargetOfType(const QHash<QString, TRelation>& relations, QStringView type) {
        for (const TRelation& relation : relations)
            if (relation.type.endsWith(type))
                return relation.target;
        return QString();
    }

    void OpenFirstSheet() {
        QString workbook = TargetOfType(ReadRelations(QString()), u"/officeDocument");
        if (workbook.isEmpty())
            workbook = "xl/workbook.xml"_L1;
        const QString sheetId = ReadWorkbook(workbook);
        const QHash<QString, TRelation> relations = ReadRelations(workbook);
        const QString sheetPart = relations.value(sheetId).target;
        if (sheetPart.isEmpty() || Locate(sheetPart) < 0)
            FailWorkbook(kWorkbookWithoutSheet);
        ReadSharedStrings(TargetOfType(relations, u"/sharedStrings"));
        ReadStyles(TargetOfType(relations, u"/styles"));
        sheet = OpenPart(sheetPart, limits.sheetBytes);
    }

    // The relation id of the workbook's first sheet; notes the date system on the way.
    QString ReadWorkbook(const QString& name) {
        const std::unique_ptr<TXmlPart> part = OpenPart(name, limits.partBytes);
        if (!part)
            FailWorkbook(kWorkbookWithoutSheet);
        QXmlStreamReader& xml = part->xml;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.name() == "workbookPr"_L1) {
                const QStringView value = attributes.value("date1904"_L1);
                date1904 = value == "1"_L1 || value == "true"_L1;
            } else if (xml.name() == "sheet"_L1) {
                for (const QXmlStreamAttribute& attribute : attributes)
                    if (attribute.name() == "id"_L1 && !attribute.namespaceUri().isEmpty())
                        return attribute.value().toString();
            }
        }
        part->FailIfError();
        FailWorkbook(kWorkbookWithoutSheet);
    }

    void ReadSharedStrings(const QString& name) {
        const std::unique_ptr<TXmlPart> part =
            OpenPart(name.isEmpty() ? "xl/sharedStrings.xml"_L1 : name, limits.sharedStringBytes);
        if (!part)
            return;
        QXmlStreamReader& xml = part->xml;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == "si"_L1) {
                if (sharedStrings.size() == kMaxSharedStrings)
                    FailWorkbook(kWorkbookTooLarge);
                sharedStrings.append(ReadRichText(*part));
            }
        part->FailIfError();
    }

    // What every cell style shows its number as.
    void ReadStyles(const QString& name) {
        const std::unique_ptr<TXmlPart> part =
            OpenPart(name.isEmpty() ? "xl/styles.xml"_L1 : name, limits.partBytes);
        if (!part)
            return;
        QHash<int, TNumberKind> customFormats;
        bool inCellFormats = false;
        QXmlStreamReader& xml = part->xml;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == "cellXfs"_L1)
                inCellFormats = false;
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.name() == "numFmt"_L1) {
                customFormats.insert(attributes.value("numFmtId"_L1).toInt(),
                                     FormatCodeKind(attributes.value("formatCode"_L1).toString()));
            } else if (xml.name() == "cellXfs"_L1) {
                inCellFormats = true;
            } else if (xml.name() == "xf"_L1 && inCellFormats) {
                const int id = attributes.value("numFmtId"_L1).toInt();
                styleKinds.push_back(customFormats.value(id, BuiltInKind(id)));
            }
        }
        part->FailIfError();
    }

    static TNumberKind BuiltInKind(int id) {
        if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
            (id >= 50 && id <= 58))
            return TNumberKind::Date;
        if (id == 22)
            return TNumberKind::DateTime;
        if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47))
            return TNumberKind::Time;
        return TNumberKind::Number;
    }

    // Reads the row the reader stands on into cells; false when it holds no value.
    bool ReadRow(QStringList& cells) {
        QXmlStreamReader& xml = sheet->xml;
        cells.clear();
        bool any = false;
        int column = 0;
        while (xml.readNextStartElement()) {
            if (xml.name() != "c"_L1) {
                xml.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes attributes = xml.attributes();
            if (attributes.hasAttribute("r"_L1))
                column = ColumnOfReference(attributes.value("r"_L1));
            if (column < 0 || column >= kMaxColumns)
                FailWorkbook(kWorkbookDamaged);
            const QString text = ReadCell(attributes);
            if (!text.isEmpty()) {
                while (cells.size() <= column)
                    cells.append(QString());
                cells[column] = text;
                any = true;
            }
            ++column;
        }
        sheet->FailIfError();
        return any;
    }

    // The text of the cell element the reader stands on.
    QString ReadCell(const QXmlStreamAttributes& attributes) {
        QXmlStreamReader& xml = sheet->xml;
        QString value;
        QString inlineText;
        while (xml.readNextStartElement()) {
            if (xml.name() == "v"_L1)
                value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == "is"_L1)
                inlineText = ReadRichText(*sheet);
            else
                xml.skipCurrentElement();
        }
        sheet->FailIfError();
        if (value.size() > kMaxCellChars)
            FailWorkbook(kCellTooLong);
        const QStringView type = attributes.value("t"_L1);
        if (type == "s"_L1)
            return SharedString(value);
        if (type == "inlineStr"_L1)
            return inlineText;
        if (type == "b"_L1)
            return value.trimmed() == "1"_L1 ? "1"_L1 : "0"_L1;
        if (type == "d"_L1)
            return IsoDateText(value);
        if (type == "str"_L1 || type == "e"_L1 || value.isEmpty())
            return value;
        bool number = false;
        const double serial = value.toDouble(&number);
        if (!number)
            return value;
        const int style = attributes.value("s"_L1).toInt();
        const TNumberKind kind = style >= 0 && size_t(style) < styleKinds.size()
                                     ? styleKinds[size_t(style)]
                                     : TNumberKind::Number;
        return SerialText(serial, kind, date1904);
    }

    QString SharedString(const QString& value) const {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        if (!ok || index < 0 || index >= sharedStrings.size())
            FailWorkbook(kWorkbookDamaged);
        return sharedStrings[index];
    }

    // A date stored as ISO text ("2024-03-15T09:30:00"), shown as the other dates are.
    static QString IsoDateText(const QString& value) {
        QString text = value.left(19).replace('T', ' ');
        if (text.endsWith(" 00:00:00"_L1))
            text.chop(9);
        return text;
    }

    TSheetLimits limits;
    struct TArchiveClose {
        void operator()(zip_t* zip) const { zip_discard(zip); }
    };
    std::unique_ptr<zip_t, TArchiveClose> archive;
    QStringList sharedStrings;
    std::vector<TNumberKind> styleKinds;
    bool date1904 = false;
    std::unique_ptr<TXmlPart> sheet;
};

} // namespace

std::unique_ptr<TSheetReader> OpenXlsxSheet(const QString& path, const TSheetLimits& limits) {
    return std::make_unique<TXlsxSheet>(path, limits);
}
