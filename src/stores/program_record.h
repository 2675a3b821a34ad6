#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace tidora::stores {

// One installed program, as the program list builds it and the working database stores it.
struct TProgram {
    int32_t Id = 0;  // ProgID of the stored row; 0 or -1 when not stored
    QString PrgName;
    QString Publisher;
    QString Size;       // display text
    int64_t iSize = 0;  // estimated size in kilobytes, -1 when the registry gives none
    QString PrgVersion;
    QString Command;  // uninstall command; in a search request, comma-separated fragments
    const void* IconPtr = nullptr;  // the icon image while the record is built; not owned
    QByteArray IconStreamRef;       // PNG bytes of the icon while the record is stored
    double InstallDate = 0;         // days since 1899-12-30; 0 when not available
    int32_t prgIconSign = 0;        // 1 when the icon came from the program's own reference
    int32_t prgSysComponent = 0;
    bool dResult = false;    // result of the last store operation
    int32_t dOperation = 0;  // 10: a search by the listed fields
    bool dSelect = false;    // ProgSelect of the stored row
};

// Every number 0, every text and the icon empty, both flags false.
inline void ClearProgram(TProgram& record) {
    record = TProgram{};
}

// The senders of these events are always the same objects, so they are not passed.
using TNotifyEvent = std::function<void()>;
using TProgramEvent = std::function<void(TProgram& ARec)>;
using TProgramConditionEvent = std::function<void(const QString& AFieldNames, TProgram& ARec)>;

// The storage callbacks the program-list thread works through.
struct TUninstallParameters {
    bool sysFlag = true;  // programs marked as system components are listed too
    TNotifyEvent onClearData;
    TNotifyEvent onRefreshTable;
    // Bound by the main window: the programs view was opened for the first time.
    TNotifyEvent onOpenTable;
    TProgramEvent onAddRecord;
    TProgramEvent onDeleteRecord;
    TProgramEvent onGetRecord;
    TProgramConditionEvent onDeleteRecords;
    TProgramConditionEvent onFindFirstRecord;
};

}  // namespace tidora::stores
