#pragma once

#include <QtGlobal>

// What a use case did with a record, for the window that asked to say in its own words.
// A database failure is not a result: it is thrown as db::Error.
namespace core {

enum class Status {
    Done,    // written, or read whole
    Gone,    // the record is no longer there: another window or program deleted it meanwhile
    Changed, // nothing written: another window or desk changed the record since it was shown
    Refused, // nothing written; `refusal` says why
};

// For use cases that refuse nothing.
enum class NoRefusal {};

template <typename Refusal = NoRefusal>
struct Result
{
    Status status = Status::Done;
    Refusal refusal{}; // when Refused
    qint32 rowId = -1; // the record added or changed, where known

    static Result done(qint32 rowId = -1) { return {Status::Done, Refusal{}, rowId}; }
    static Result gone() { return {Status::Gone, Refusal{}, -1}; }
    static Result changed() { return {Status::Changed, Refusal{}, -1}; }
    static Result refused(Refusal why) { return {Status::Refused, why, -1}; }

    bool isDone() const { return status == Status::Done; }
    bool isGone() const { return status == Status::Gone; }
    bool isChanged() const { return status == Status::Changed; }
    bool isRefused() const { return status == Status::Refused; }
};

// A change that refuses nothing: done, or gone or changed meanwhile.
using Change = Result<>;

// The rows a store reports changed, as a change: none means the record was gone.
inline Change changeOf(int rowsChanged, qint32 rowId = -1)
{
    return rowsChanged > 0 ? Change::done(rowId) : Change::gone();
}

} // namespace core
