// Pictures of the custom field dialogs and of the attached files of a customer.
#include "FieldShots.h"

#include "controls/VoskEdtBut.h"
#include "customers/ConnFile.h"
#include "customers/FormConnFile.h"
#include "customers/FormCustomer.h"
#include "customers/FormCustomerDIY.h"
#include "customers/FormTitle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// A sample customer of FillCustomerSamples.
constexpr char kGuid[] = "S1";

void addSampleFiles() {
    ConnFile().Add(
        {kGuid, QStringLiteral("/home/user/文档/合同-2024.pdf"), QStringLiteral("年度合同")});
    ConnFile().Add(
        {kGuid, QStringLiteral("/home/user/文档/报价单.xlsx"), QStringLiteral("三月报价")});
}

void shootTitleEditors(const SaveShot& save) {
    const char* names[] = {"field-editor-text", "field-editor-pick", "field-editor-memory",
                           "field-editor-date", "field-editor-number"};
    for (int kind = 0; kind < 5; ++kind) {
        TFormAddTitle editor;
        editor.edtName->setText(QStringLiteral("示例字段"));
        editor.cbbType->setCurrentIndex(kind);
        editor.cbbTypeSelect();
        if (kind == kTextField)
            editor.edtmrz->setText(QStringLiteral("默认文字"));
        if (kind == kPickField)
            editor.mmomrz->setPlainText(QStringLiteral("普通\n重要\nVIP"));
        if (kind == kDateField) {
            editor.cbbsj->setCurrentIndex(1);
            editor.cbbsjSelect();
            editor.DBDate->setDate(QDate(2024, 3, 15));
        }
        if (kind == kNumberField)
            editor.edtmrz->setText(QStringLiteral("0"));
        editor.chkbt->setChecked(kind != kMemoryField);
        editor.show();
        save(editor, names[kind]);
    }
}

} // namespace

void ShootFields(const SaveShot& save) {
    addSampleFiles();

    TFormCustomerDIY list;
    list.show();
    list.lvTitle->topLevelItem(1)->setSelected(true);
    save(list, "field-list");
    list.hide();

    shootTitleEditors(save);

    TFormBaseDIY preview;
    preview.setWindowTitle(QStringLiteral("预览 客户资料"));
    preview.show();
    save(preview, "field-preview");
    preview.hide();

    TFormModCustomer customer;
    customer.Guid = kGuid;
    customer.show();
    customer.pgcCustomer->setCurrentWidget(customer.tsFiles);
    customer.ConnFiles->lvConnFile->topLevelItem(0)->setSelected(true);
    save(customer, "customer-files");
    customer.hide();

    TFormModConnfile entry(QStringLiteral("1"));
    const TConnFileEntry stored = ConnFile().Load(QStringLiteral("1"));
    entry.EdtFile->setText(stored.FileName);
    entry.mmoRemark->setPlainText(stored.Remark);
    entry.show();
    save(entry, "file-entry");
}
