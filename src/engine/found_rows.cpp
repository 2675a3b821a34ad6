#include "engine/found_rows.h"

#include "diagnostics/code_trace.h"
#include "helpers/display_text.h"
#include "helpers/reg_paths.h"
#include "stores/sqlite_error.h"
#include "stores/sqlite_transaction.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

constexpr size_t kBatchRows = 1000;
constexpr qint64 kBatchMillis = 250;
constexpr int kPageRows = 1000;

void traceError(const char* where, const stores::SqliteError& e) {
    diagnostics::TraceCmd(QStringLiteral("err:"),
                          QString::fromLatin1(where) + QString::fromUtf8(e.what()));
}

void bindFileRow(stores::SqliteStatement& s, const helpers::TwCleanRecord& r) {
    s.bindInt64(":ID", r.id);
    s.bindInt64(":CLEAN_ID", r.CL_iD);
    s.bindText(":NAME", r.Name);
    s.bindInt64(":SIZE", r.Size);
    s.bindDouble(":DT", r.Date);
    s.bindInt64(":STATE", r.State);
    s.bindInt64(":ACT", r.Active ? 1 : 0);
    s.bindInt64(":pID", r.pID);
    s.bindText(":szStr", helpers::SizeToStr(2, r.Size));
}

void bindRegRow(stores::SqliteStatement& s, const helpers::TwCleanRecord& r) {
    s.bindInt64(":ID", r.id);
    s.bindInt64(":CLEAN_ID", r.CL_iD);
    s.bindInt64(":HOMEKEY", r.HomekeyID);
    s.bindText(":NAME", r.Name);
    s.bindInt64(":TYPE", r.DtType);
    s.bindText(":VALUE", r.Value);
    s.bindInt64(":W_VALUE", r.wvalue);
    s.bindInt64(":STATE", r.State);
    s.bindInt64(":ACT", r.Active ? 1 : 0);
    s.bindInt64(":pID", r.pID);
    s.bindText(":HKSTR", helpers::RootIndexToName(r.HomekeyID));
}

}  // namespace

FoundRowsWriter::FoundRowsWriter(stores::TBasedata_DM& db, RowTable table)
    : db_(db), table_(table) {
    sinceFlush_.start();
}

FoundRowsWriter::~FoundRowsWriter() {
    flush();
}

void FoundRowsWriter::insert(const helpers::TwCleanRecord& record) {
    inserts_.push_back(record);
    flushIfDue();
}

void FoundRowsWriter::setState(int64_t id, int32_t cleanId, int32_t state) {
    updates_.push_back({id, cleanId, state});
    flushIfDue();
}

void FoundRowsWriter::flushIfDue() {
    if (inserts_.size() + updates_.size() >= kBatchRows || sinceFlush_.elapsed() >= kBatchMillis) {
        flush();
    }
}

void FoundRowsWriter::flush() {
    sinceFlush_.restart();
    if (inserts_.empty() && updates_.empty()) {
        return;
    }
    const bool files = table_ == RowTable::Files;
    try {
        const auto lock = db_.LockConnection();
        stores::SqliteTransaction transaction(lock.db());
        if (!inserts_.empty()) {
            auto insert = lock.db().prepare(
                files ? QStringLiteral("insert into Files_T values (:ID, :CLEAN_ID, :NAME, :SIZE, "
                                       ":DT, :STATE, :ACT, :pID, :szStr)")
                      : QStringLiteral("insert into Regs_T values (:ID, :CLEAN_ID, :HOMEKEY, "
                                       ":NAME, :TYPE, :VALUE, :W_VALUE, :STATE, :ACT, :pID, "
                                       ":HKSTR)"));
            for (const helpers::TwCleanRecord& r : inserts_) {
                files ? bindFileRow(insert, r) : bindRegRow(insert, r);
                insert.step();
                insert.reset();
            }
        }
        if (!updates_.empty()) {
            auto update = lock.db().prepare(
                files ? QStringLiteral("update Files_T set STATE=? where (ID=? AND CLEAN_ID=?);")
                      : QStringLiteral("update Regs_T set STATE=? where (ID=? AND CLEAN_ID=?);"));
            for (const StateUpdate& u : updates_) {
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
    inserts_.clear();
    updates_.clear();
}

bool FoundRowsWriter::deleteItemRows(int32_t cleanId) {
    flush();
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
