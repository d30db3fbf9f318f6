#include "DataMgrShots.h"

#include "maintenance/FormDataMgr.h"

#include <QListWidget>
#include <QTabWidget>

void ShootDataMgr(const SaveShot& save) {
    TFormDataMgr dialog;
    dialog.show();
    for (int row = 0; row < 2 && row < dialog.lstbox1->count(); ++row)
        dialog.lstbox1->item(row)->setCheckState(Qt::Checked);
    const char* names[] = {"datamgr-backup", "datamgr-restore", "datamgr-clear", "datamgr-import"};
    for (int page = 0; page < dialog.pgc1->count(); ++page) {
        dialog.pgc1->setCurrentIndex(page);
        save(dialog, names[page]);
    }
}
