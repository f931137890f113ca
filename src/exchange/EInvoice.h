#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// e-Fatura and e-Arşiv invoices: UBL 2.1 as the tax administration profiles it (UBL-TR),
// read without widgets, without a network and without a DTD. Values stay the texts the
// invoice holds; what they mean for the ledger is decided by the use case.
namespace exchange {

// One side of an invoice: the supplier or the customer.
struct InvoiceParty
{
    QString taxNumber; // the VKN (ten digits) or, for a person, the TCKN (eleven)
    QString name;      // the party's name, or a person's first and family name
    QString address;   // street, number, district, city and postal code on one line
    QString taxOffice; // VergiDairesi

    bool operator==(const InvoiceParty &) const = default;
};

// A VAT subtotal (tax type 0015) as written: its percent, base and amount.
struct InvoiceVat
{
    QString percent;
    QString taxable;
    QString amount;
};

struct Invoice
{
    QString profile;       // ProfileID: TEMELFATURA, TICARIFATURA, EARSIVFATURA...
    QString type;          // InvoiceTypeCode: SATIS, IADE, TEVKIFAT, ISTISNA...
    QString number;        // ID: "ABC2025000000123"
    QString uuid;          // UUID (the ETTN), in upper case
    QString issueDate;     // IssueDate as written: "2025-03-12"
    QString currency;      // DocumentCurrencyCode: "TRY", "USD"...
    QString exchangeRate;  // PricingExchangeRate/CalculationRate, for a foreign currency
    InvoiceParty supplier; // AccountingSupplierParty
    InvoiceParty customer; // AccountingCustomerParty
    std::vector<InvoiceVat> vat;
    QString withheldVat;     // WithholdingTaxTotal/TaxAmount
    QString exemption;       // a VAT exemption's reason, with its code
    QString payable;         // LegalMonetaryTotal/PayableAmount
    QStringList lines;       // each line's item name
    QString returnedInvoice; // BillingReference/InvoiceDocumentReference/ID
};

// Why a file or an invoice in it was not read.
enum class InvoiceFault {
    CannotOpen,      // missing, a folder, unreadable
    TooLarge,        // a file over kLargestInvoice
    BrokenArchive,   // not a ZIP file, or one whose contents do not match what it says of them
    ArchiveTooLarge, // a ZIP of more than kLargestArchive bytes or kMostArchiveFiles files
    BrokenXml,       // not well-formed XML (detail: the line)
    Doctype,         // a DOCTYPE: its entities are never expanded, the file is refused whole
    NotInvoice,      // XML, but not a UBL invoice (detail: the root element)
    MissingField,    // a field every invoice has is missing (detail: its name)
};

inline constexpr qint64 kLargestInvoice = 20 * 1024 * 1024;
inline constexpr qint64 kLargestArchive = 200 * 1024 * 1024; // all a ZIP's files, expanded
inline constexpr qint64 kMostArchiveFiles = 10'000;

// An invoice read, or why not; `source` names the file and, in a ZIP, the file in it.
struct InvoiceDocument
{
    QString source;
    std::optional<Invoice> invoice;
    InvoiceFault fault = InvoiceFault::CannotOpen; // when there is no invoice
    QString detail;
};

// Reads one invoice document (source left empty).
InvoiceDocument readInvoice(QByteArrayView xml);

// Reads the invoices of each file: an .xml file is one invoice, a .zip file holds any number
// (its folders and files not named .xml are passed over). A file or ZIP refused whole is one
// document with its fault.
std::vector<InvoiceDocument> readInvoiceFiles(const QStringList &paths);

} // namespace exchange
