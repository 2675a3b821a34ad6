#include "engine/found_rows.h"

#include <QLocale>

#include "diagnostics/code_trace.h"
#include "helpers/display_text.h"
#include "helpers/reg_paths.h"
#include "stores/sqlite_error.h"
#include "stores/sqlite_transaction.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

constexpr size_t kBatchRows = 2000;
constexpr qint64 kBatchMillis = 250;
constexpr size_t kQueuedBatches = 2;
constexpr int kPageRows = 1000;

void traceError(const char* where, const stores::SqliteError& e) {
    diagnostics::TraceCmd(QStringLiteral("err:"),
                          QString::fromLatin1(where) + QString::fromUtf8(e.what()));
}

// Parameters by position, in the order of the statement: this runs for every file found.
void bindFileRow(stores::SqliteStatement& s, const helpers::TwCleanRecord& r,
                 const QLocale& locale) {
    s.bindInt64(1, r.id);
    s.bindInt64(2, r.CL_iD);
    s.bindText(3, r.Name);
    s.bindInt64(4, r.Size);
    s.bindDouble(5, r.Date);
    s.bindInt64(6, r.State);
    s.bindInt64(7, r.Active ? 1 : 0);
    s.bindInt64(8, r.pID);
    s.bindText(9, helpers::SizeToStr(2, r.Size, locale));
}

void bindRegRow(stores::SqliteStatement& s, const helpers::TwCleanRecord& r) {
    s.bindInt64(1, r.id);
    s.bindInt64(2, r.CL_iD);
    s.bindInt64(3, r.HomekeyID);
    s.bindText(4, r.Name);
    s.bindInt64(5, r.DtType);
    s.bindText(6, r.Value);
    s.bindInt64(7, r.wvalue);
    s.bindInt64(8, r.State);
    s.bindInt64(9, r.Active ? 1 : 0);
    s.bindInt64(10, r.pID);
    s.bindText(11, helpers::RootIndexToName(r.HomekeyID));
}

}  // namespace

FoundRowsWriter::FoundRowsWriter(stores::TBasedata_DM& db, RowTable table)
    : db_(db), table_(table) {
    sinceFlush_.start();
    thread_ = std::thread([this] { writeBatches(); });
}

FoundRowsWriter::~FoundRowsWriter() {
    flush();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FoundRowsWriter::insert(const helpers::TwCleanRecord& record) {
    gathering_.inserts.push_back(record);
    flushIfDue();
}

void FoundRowsWriter::setState(int64_t id, int32_t cleanId, int32_t state) {
    gathering_.updates.push_back({id, cleanId, state});
    flushIfDue();
}

void FoundRowsWriter::flushIfDue() {
    if (gathering_.inserts.size() + gathering_.updates.size() >= kBatchRows ||
        sinceFlush_.elapsed() >= kBatchMillis) {
        flush();
    }
}

void FoundRowsWriter::flush() {
    sinceFlush_.restart();
    if (gathering_.inserts.empty() && gathering_.updates.empty()) {
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueuedBatches; });
    queue_.push_back(std::move(gathering_));
    gathering_ = Batch{};
    lock.unlock();
    changed_.notify_all();
}

void FoundRowsWriter::waitWritten() {
    flush();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !writing_; });
}

void FoundRowsWriter::writeBatches() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return;
        }
        Batch batch = std::move(queue_.front());
        queue_.pop_front();
        writing_ = true;
        lock.unlock();
        changed_.notify_all();
        write(batch);
        lock.lock();
        writing_ = false;
        changed_.notify_all();
    }
}

void FoundRowsWriter::write(const Batch& batch) {
    const bool files = table_ == RowTable::Files;
    try {
        const auto lock = db_.LockConnection();
        stores::SqliteTransaction transaction(lock.db());
        if (!batch.inserts.empty()) {
            auto insert = lock.db().prepare(
                files ? QStringLiteral("insert into Files_T values (:ID, :CLEAN_ID, :NAME, :SIZE, "
                                       ":DT, :STATE, :ACT, :pID, :szStr)")
                      : QStringLiteral("insert into Regs_T values (:ID, :CLEAN_ID, :HOMEKEY, "
                                       ":NAME, :TYPE, :VALUE, :W_VALUE, :STATE, :ACT, :pID, "
                                       ":HKSTR)"));
            const QLocale locale;
            for (const helpers::TwCleanRecord& r : batch.inserts) {
                files ? bindFileRow(insert, r, locale) : bindRegRow(insert, r);
                insert.step();
                insert.reset();
            }
        }
        if (!batch.updates.empty()) {
            auto update = lock.db().prepare(
                files ? QStringLiteral("update Files_T set STATE=? where (ID=? AND CLEAN_ID=?);")
                      : QStringLiteral("update Regs_T set STATE=? where (ID=? AND CLEAN_ID=?);"));
            for (const StateUpdate& u : batch.updates) {
                update.bindInt64(1, u.state);
                update.bindInt64(2, u.id);
                update.bindInt64(3, u.cleanId);
                update.step();
                update.reset();
            }
        }
        transaction.commit();
    } catch (const stores::SqliteError& e) {
        traceError(files ? "FoundRowsWriter(Files_T):" : "FoundRowsWriter(Regs_T):", e);
    }
}

bool FoundRowsWriter::deleteItemRows(int32_t cleanId) {
    waitWritten();
    try {
        const auto lock = db_.LockConnection();
        auto statement = lock.db().prepare(
            table_ == RowTable::Files ? QStringLiteral("delete from Files_T where CLEAN_ID=?;")
                                      : QStringLiteral("delete from Regs_T where CLEAN_ID=?;"));
        statement.bindInt64(1, cleanId);
        statement.step();
        return true;
    } catch (const stores::SqliteError& e) {
        traceError("FoundRowsWriter.deleteItemRows:", e);
        return false;
    }
}

FoundRowsReader::FoundRowsReader(stores::TBasedata_DM& db, RowTable table, int32_t cleanId)
    : db_(db), table_(table), cleanId_(cleanId) {}

bool FoundRowsReader::next(helpers::TwCleanRecord& record) {
    if (pos_ >= page_.size() && (done_ || !readPage())) {
        return false;
    }
    record = page_[pos_++];
    return true;
}

bool FoundRowsReader::readPage() {
    page_.clear();
    pos_ = 0;
    const bool files = table_ == RowTable::Files;
    try {
        const auto lock = db_.LockConnection();
        auto select = lock.db().prepare(
            files ? QStringLiteral("select ID, CLEAN_ID, NAME, SIZE, STATE, P_ID from Files_T "
                                   "where CLEAN_ID=? AND ID>? order by ID limit ?;")
                  : QStringLiteral("select ID, CLEAN_ID, NAME, HOMEKEY, TYPE, VALUE, W_VALUE, "
                                   "STATE, P_ID from Regs_T where CLEAN_ID=? AND ID>? order by ID "
                                   "limit ?;"));
        select.bindInt64(1, cleanId_);
        select.bindInt64(2, lastId_);
        select.bindInt64(3, kPageRows);
        while (select.step()) {
            helpers::TwCleanRecord r;
            r.id = select.columnInt64(0);
            r.CL_iD = static_cast<int32_t>(select.columnInt64(1));
            r.Name = select.columnText(2);
            r.Active = true;
            if (files) {
                r.RecType = 1;
                r.Size = select.columnInt64(3);
                r.State = static_cast<int32_t>(select.columnInt64(4));
                r.pID = static_cast<int32_t>(select.columnInt64(5));
            } else {
                r.RecType = 2;
                r.HomekeyID = static_cast<int32_t>(select.columnInt64(3));
                r.DtType = static_cast<int32_t>(select.columnInt64(4));
                r.Value = select.columnText(5);
                r.wvalue = select.columnInt64(6);
                r.State = static_cast<int32_t>(select.columnInt64(7));
                r.pID = static_cast<int32_t>(select.columnInt64(8));
            }
            lastId_ = r.id;
            page_.push_back(std::move(r));
        }
    } catch (const stores::SqliteError& e) {
        traceError("FoundRowsReader:", e);
        done_ = true;
        return false;
    }
    done_ = page_.size() < static_cast<size_t>(kPageRows);
    return !page_.empty();
}

}  // namespace tidora::engine
