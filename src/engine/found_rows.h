#pragma once

#include <QElapsedTimer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "helpers/clean_record.h"

namespace tidora::stores {
class TBasedata_DM;
}

namespace tidora::engine {

enum class RowTable { Files, Regs };

// Writes the rows an item finds and the outcomes of its cleaning into Files_T or Regs_T. Writes
// are gathered and committed together, a batch at a time, by a thread of the writer's own while
// the item goes on searching; at most two batches wait, so a run of many thousand rows neither
// holds every finding in memory nor keeps the connection from the main thread for long.
class FoundRowsWriter {
public:
    FoundRowsWriter(stores::TBasedata_DM& db, RowTable table);
    // Waits until everything gathered is written.
    ~FoundRowsWriter();
    FoundRowsWriter(const FoundRowsWriter&) = delete;
    FoundRowsWriter& operator=(const FoundRowsWriter&) = delete;

    // The record's id is the new row's ID.
    void insert(const helpers::TwCleanRecord& record);
    void setState(int64_t id, int32_t cleanId, int32_t state);
    // Hands what is gathered to the writing thread; a batch that fails is traced and dropped.
    void flush();
    // Deletes every row of the item at once (after everything gathered is written).
    bool deleteItemRows(int32_t cleanId);

private:
    struct StateUpdate {
        int64_t id;
        int32_t cleanId;
        int32_t state;
    };
    struct Batch {
        std::vector<helpers::TwCleanRecord> inserts;
        std::vector<StateUpdate> updates;
    };

    void flushIfDue();
    // Returns when every batch handed over is written.
    void waitWritten();
    void writeBatches();
    void write(const Batch& batch);

    stores::TBasedata_DM& db_;
    RowTable table_;
    Batch gathering_;
    QElapsedTimer sinceFlush_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queue_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread thread_;
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
