#pragma once

#include "core/Entries.h"
#include "core/Result.h"
#include "data/EntryStore.h"
#include "exchange/EInvoice.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace core {

// Whether `text` is a tax number: a VKN of ten digits or a TCKN of eleven.
bool isTaxNumber(const QString &text);

// e-Fatura and e-Arşiv invoices brought in as entries, for the window and the terminal alike:
// the files are read first, a preview says what each invoice would become, and the new ones
// are recorded, with the companies they name, in one transaction.
class InvoiceImport
{
public:
    enum class State {
        New,        // recorded by record()
        Recorded,   // its UUID, or its company and number, are recorded already (or earlier in these files)
        Unreadable, // `problem` says why
    };
    enum class Problem {
        // The file, as exchange::InvoiceFault says (the same order).
        CannotOpen,
        TooLarge,
        BrokenArchive,
        ArchiveTooLarge,
        BrokenXml,
        Doctype,
        NotInvoice,
        MissingField,
        // The invoice.
        NotOurs,  // our tax number is neither the supplier's nor the customer's
        BothOurs, // it is both
        Currency, // not TRY, USD or EUR (detail: the code)
        Date,     // the issue date is no date
        Amount,   // the payable amount is not one the add dialog takes
        Rate,     // a foreign currency without a usable exchange rate
        VatRate,  // a VAT percent that is not a whole number from 0 to 100
    };

    // One invoice as the preview shows it.
    struct Row
    {
        QString source; // the file, and the file in a ZIP
        State state = State::Unreadable;
        Problem problem = Problem::CannotOpen; // when Unreadable
        QString detail;                        // the field, the code or the line a problem names
        QString uuid;
        QString date;                 // "12.03.2025"
        exchange::InvoiceParty party; // the other side
        bool newCompany = false;      // no company has its tax number or its name yet
        QStringList vatRates;         // every VAT percent, as whole numbers where they are
        Entry entry;                  // what is recorded: kind, date, company, amount, currency, rate, VAT, category...
    };

    // Reads the files (no database yet).
    explicit InvoiceImport(const QStringList &paths = {});
    void addFiles(const QStringList &paths);
    bool isEmpty() const { return m_documents.empty(); }

    // Our tax number as kept; empty while none is. Throws db::Error.
    static QString ownTaxNumber();
    // The category names a kind offers, in stored order. Throws db::Error.
    static QStringList categories(const QString &kind);

    // Every invoice of the files as it would be recorded for `ownTaxNumber`. Throws db::Error.
    std::vector<Row> preview(const QString &ownTaxNumber) const;

    enum class Refusal {
        TaxNumber, // `ownTaxNumber` is not one
        Entry,     // an entry failed a check (`entryRefusal`, at `row`): nothing was recorded
    };
    struct Outcome
    {
        Result<Refusal> result;
        EntryRefusal entryRefusal{};
        qsizetype row = -1;
        int entries = 0;           // recorded
        int companies = 0;         // added
        int recordedMeanwhile = 0; // new in the preview, recorded by another desk since
    };
    // Records the rows that are New, each as an entry through Entries' checks, adds a company
    // for every other party not known yet, keeps each category chosen for its company and
    // kind, and keeps `ownTaxNumber`: all in one transaction, all or nothing. Throws db::Error.
    static Outcome record(const std::vector<Row> &rows, const QString &ownTaxNumber);

private:
    std::vector<exchange::InvoiceDocument> m_documents;
};

} // namespace core
