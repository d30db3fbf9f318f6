#pragma once

#include "customers/FieldControls.h"
#include "ui/FormBaseDlg.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The editor of one custom field definition: its name, kind, default or presets and flags,
// with the chosen kind's help text.
class TFormBaseTitle : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormBaseTitle(QWidget* parent = nullptr);

    // True, after telling the user, when the name is empty after trimming.
    bool NameIsEmpty();
    void ShowKindHelp(int kind);
    // Shows the kind's default editor and hides the others; empties the one-line edit and the
    // memo. A date field shows its date picker while "自定义" is chosen.
    void ShowDefaultEditor(int kind);
    void cbbTypeSelect();
    void cbbsjSelect();

    QLineEdit* edtName;
    QComboBox* cbbType;
    QLabel* labDefault;
    QLineEdit* edtmrz;
    QPlainTextEdit* mmomrz;
    QComboBox* cbbsj;
    QDateEdit* DBDate;
    QCheckBox* chkwy;
    QCheckBox* chkbt;
    QGroupBox* grpHelp;
    QPlainTextEdit* mmo1;

protected:
    void showEvent(QShowEvent* event) override;
    // The definition the editor holds: the name trimmed, the default text built by kind.
    TFieldDefinition Definition() const;
    QString DefaultValueText() const;
};

class TFormAddTitle : public TFormBaseTitle {
    Q_OBJECT
public:
    explicit TFormAddTitle(QWidget* parent = nullptr);
    void btnOKClick() override;
};

class TFormModTitle : public TFormBaseTitle {
    Q_OBJECT
public:
    explicit TFormModTitle(QWidget* parent = nullptr);
    // Shows the stored definition of that name and remembers the name as the old one.
    void LoadTitle(const QString& name);
    void btnOKClick() override;

    QString OldName;
};

// Open the editor modally; 1 when the definition was stored.
int ShowAddTitleDialog();
int ShowModTitleDialog(const QString& name);
