#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <vector>

#include "helpers/clean_record.h"

namespace tidora::stores {
class TBasedata_DM;
}

namespace tidora::engine {

enum class RowTable { Files, Regs };

// Writes the rows an item finds and the outcomes of its cleaning into Files_T or Regs_T. Writes
// are gathered and committed together, a batch at a time, so that a run of many thousand rows
// neither holds every finding in memory nor keeps the connection from the main thread for long.
class FoundRowsWriter {
public:
    FoundRowsWriter(stores::TBasedata_DM& db, RowTable table);
    ~FoundRowsWriter();
    FoundRowsWriter(const FoundRowsWriter&) = delete;
    FoundRowsWriter& operator=(const FoundRowsWriter&) = delete;

    // The record's id is the new row's ID.
    void insert(const helpers::TwCleanRecord& record);
    void setState(int64_t id, int32_t cleanId, int32_t state);
    // Commits what is gathered; a batch that fails is traced and dropped.
    void flush();
    // Deletes every row of the item at once (after a flush).
    bool deleteItemRows(int32_t cleanId);

private:
    void flushIfDue();

    stores::TBasedata_DM& db_;
    RowTable table_;
    std::vector<helpers::TwCleanRecord> inserts_;
    struct StateUpdate {
        int64_t id;
        int32_t cleanId;
        int32_t state;
    };
    std::vector<StateUpdate> updates_;
    QElapsedTimer sinceFlush_;
};

// Reads an item's rows back in ID order, a page at a time; the connection is held only while a
// page is read.
class FoundRowsReader {
public:
    FoundRowsReader(stores::TBasedata_DM& db, RowTable table, int32_t cleanId);

    // False at the end, or when a page cannot be read.
    bool next(helpers::TwCleanRecord& record);

private:
    bool readPage();

    stores::TBasedata_DM& db_;
    RowTable table_;
    int32_t cleanId_;
    int64_t lastId_ = INT64_MIN;
    std::vector<helpers::TwCleanRecord> page_;
    size_t pos_ = 0;
    bool done_ = false;
};

}  // namespace tidora::engine
