#pragma once

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "engine/base_clean_item.h"
#include "engine/clean_collect_data.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/temp_dir.h"
#include "stores/working_database.h"

namespace tidora::engine::testing {

struct Operation {
    int32_t code;
    QString desc;
};

// A working database recreated in a temporary folder, the run data, and what an item reports.
struct EngineFixture {
    EngineFixture() : db(dialogs) {
        db.connectToSQLite(1, QString::fromStdString(tmp / "work.wcd"), false);
    }

    // Binds the item to the database and the run data, recording its operations and states.
    void attach(TbaseCleanItem& item) {
        item.pCollectdata = &run;
        item.DataConnectionRef = &db;
        item.DoGroup_CleanOperationEvent = [this](TbaseCleanItem*, int32_t code,
                                                  const QString& desc, double, int64_t, int64_t) {
            operations.push_back({code, desc});
            if (onOperation) {
                onOperation(code);
            }
        };
        item.DoGroup_ChangeStatusEvent = [this](TbaseCleanItem*, const QString& text) {
            states.push_back(text);
        };
    }

    // Asks the run to cancel when the item reports the operation for the count-th time.
    void cancelAfter(int32_t code, int count) {
        onOperation = [this, code, count, seen = 0](int32_t reported) mutable {
            if (reported == code && ++seen == count) {
                run.cExitFlag = true;
            }
        };
    }

    bool sawOperation(int32_t code) const {
        for (const Operation& op : operations) {
            if (op.code == code) {
                return true;
            }
        }
        return false;
    }

    // (NAME or VALUE, STATE) of the item's rows in ID order.
    std::vector<std::pair<QString, int>> rows(const char* table, const char* column,
                                              int32_t cleanId) {
        std::vector<std::pair<QString, int>> result;
        const auto lock = db.LockConnection();
        auto s = lock.db().prepare(QStringLiteral("select %1, STATE from %2 where CLEAN_ID=? "
                                                  "order by ID")
                                       .arg(QLatin1String(column), QLatin1String(table)));
        s.bindInt64(1, cleanId);
        while (s.step()) {
            result.emplace_back(s.columnText(0), static_cast<int>(s.columnInt64(1)));
        }
        return result;
    }

    ::tidora::testing::TempDir tmp;
    ::tidora::testing::RecordingDialogs dialogs;
    stores::TBasedata_DM db;
    TCleanCollectData run;
    std::vector<Operation> operations;
    std::vector<QString> states;
    std::function<void(int32_t)> onOperation;
};

}  // namespace tidora::engine::testing
