#include "core/InvoiceImport.h"

#include "core/Companies.h"
#include "data/CategoryStore.h"
#include "data/InvoiceStore.h"
#include "data/Kinds.h"
#include "data/Money.h"

#include <QDate>
#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace core {

namespace {

// What IslemIcerigi holds at most, as the add dialog lets it be typed.
constexpr qsizetype kLongestContent = 255;

QString currencyOf(const QString &code)
{
    if (code == "TRY"_L1)
        return u"Lira"_s;
    if (code == "USD"_L1)
        return u"Dolar"_s;
    if (code == "EUR"_L1)
        return u"Euro"_s;
    return {};
}

// "20.00" as "20"; a percent with a fraction stays as written, for the VAT check to refuse.
QString wholePercent(const QString &percent)
{
    const std::optional<qint64> millionths = ledger::parseRate(percent);
    return millionths && *millionths % 1'000'000 == 0 ? QString::number(*millionths / 1'000'000) : percent;
}

InvoiceImport::Problem problemOf(EntryRefusal refusal)
{
    switch (refusal) {
    case EntryRefusal::Rate: return InvoiceImport::Problem::Rate;
    case EntryRefusal::VatRate: return InvoiceImport::Problem::VatRate;
    default: return InvoiceImport::Problem::Amount;
    }
}

bool standsFor(const QString &relationText, const QString &kind)
{
    const std::optional<Relation> relation = relationOf(relationText);
    if (!relation)
        return false;
    return *relation == Relation::SupplierAndCustomer ||
           *relation == (kind == ledger::income() ? Relation::Customer : Relation::Supplier);
}

// The VAT rate to store (the one with the largest base) and every rate, in the invoice's order.
std::pair<QString, QStringList> vatRatesOf(const exchange::Invoice &invoice)
{
    QString stored;
    ledger::WideKurus largest = -1;
    QStringList rates;
    for (const exchange::InvoiceVat &vat : invoice.vat) {
        const QString percent = wholePercent(vat.percent);
        if (!rates.contains(percent))
            rates << percent;
        const ledger::WideKurus base = ledger::storedAmount(vat.taxable).value_or(0);
        if (base > largest) {
            largest = base;
            stored = percent;
        }
    }
    return {stored, rates};
}

// IslemIcerigi: what kind of invoice it is where that matters, then what it sold.
QString contentOf(const exchange::Invoice &invoice, const QStringList &rates)
{
    QStringList parts;
    if (invoice.type == "IADE"_L1)
        parts << (invoice.returnedInvoice.isEmpty()
                      ? u"İade faturası"_s
                      : u"İade faturası (iade edilen fatura: %1)"_s.arg(invoice.returnedInvoice));
    if (!invoice.withheldVat.isEmpty())
        parts << u"Tevkifatlı fatura, tevkif edilen KDV: %1"_s.arg(invoice.withheldVat);
    if (invoice.type == "ISTISNA"_L1 || !invoice.exemption.isEmpty())
        parts << (invoice.exemption.isEmpty() ? u"KDV istisnası"_s : u"KDV istisnası: %1"_s.arg(invoice.exemption));
    if (rates.size() > 1) {
        QStringList each;
        for (const exchange::InvoiceVat &vat : invoice.vat)
            each << u"%%1 %2"_s.arg(wholePercent(vat.percent), vat.amount);
        parts << u"KDV oranları: %1"_s.arg(each.join(u", "_s));
    }
    if (!invoice.lines.isEmpty())
        parts << invoice.lines.join(u", "_s);
    QString content = parts.join(u"; "_s);
    if (content.size() > kLongestContent)
        content = content.left(kLongestContent - 1) + u'…';
    return content;
}

// The companies as the invoices are matched with them: by tax number, then by name.
struct KnownCompanies
{
    QHash<QString, InvoiceStore::KnownCompany> byTaxNumber;
    QHash<QString, InvoiceStore::KnownCompany> byName;

    explicit KnownCompanies(const std::vector<InvoiceStore::KnownCompany> &companies)
    {
        // Backwards, as insert() keeps the last: the first stored of a number or a name is the one matched.
        for (auto it = companies.rbegin(); it != companies.rend(); ++it)
            add(*it);
    }

    void add(const InvoiceStore::KnownCompany &company)
    {
        if (!company.taxNumber.trimmed().isEmpty())
            byTaxNumber.insert(company.taxNumber.trimmed(), company);
        byName.insert(company.name, company);
    }

    const InvoiceStore::KnownCompany *find(const exchange::InvoiceParty &party) const
    {
        if (const auto it = byTaxNumber.constFind(party.taxNumber); it != byTaxNumber.cend())
            return &*it;
        if (const auto it = byName.constFind(party.name); it != byName.cend())
            return &*it;
        return nullptr;
    }
};

InvoiceImport::Row unreadable(InvoiceImport::Row row, InvoiceImport::Problem problem, const QString &detail = {})
{
    row.state = InvoiceImport::State::Unreadable;
    row.problem = problem;
    row.detail = detail;
    return row;
}

} // namespace

bool isTaxNumber(const QString &text)
{
    if (text.size() != 10 && text.size() != 11)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

InvoiceImport::InvoiceImport(const QStringList &paths)
{
    addFiles(paths);
}

void InvoiceImport::addFiles(const QStringList &paths)
{
    std::vector<exchange::InvoiceDocument> read = exchange::readInvoiceFiles(paths);
    m_documents.insert(m_documents.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
}

QString InvoiceImport::ownTaxNumber()
{
    db::Connection connection;
    return InvoiceStore(connection).ownTaxNumber();
}

QStringList InvoiceImport::categories(const QString &kind)
{
    db::Connection connection;
    return InvoiceStore(connection).texts(CategoryStore::list(kind));
}

std::vector<InvoiceImport::Row> InvoiceImport::preview(const QString &own) const
{
    db::Connection connection;
    InvoiceStore store(connection);
    QSet<QString> uuids = store.recordedUuids();
    QSet<QString> numbers = store.entryInvoiceNumbers();
    const KnownCompanies known(store.companies());
    const QHash<QString, QString> chosen = store.categories();
    const QHash<QString, QStringList> categories = {
        {ledger::income(), store.texts(CategoryStore::list(ledger::income()))},
        {ledger::expense(), store.texts(CategoryStore::list(ledger::expense()))}};

    std::vector<Row> rows;
    rows.reserve(m_documents.size());
    for (const exchange::InvoiceDocument &document : m_documents) {
        Row row;
        row.source = document.source;
        if (!document.invoice) {
            rows.push_back(unreadable(row, Problem(int(document.fault)), document.detail));
            continue;
        }
        const exchange::Invoice &invoice = *document.invoice;
        row.uuid = invoice.uuid;
        const bool supplier = invoice.supplier.taxNumber == own;
        const bool customer = invoice.customer.taxNumber == own;
        // The kind follows the money, whatever the invoice's type: we are paid when we are the supplier.
        Entry &entry = row.entry;
        entry.kind = supplier ? ledger::income() : ledger::expense();
        row.party = supplier ? invoice.customer : invoice.supplier;
        entry.invoice = invoice.number;
        entry.amount = invoice.payable;
        const QDate date = QDate::fromString(invoice.issueDate, Qt::ISODate);
        if (date.isValid()) {
            row.date = date.toString(u"dd.MM.yyyy"_s);
            entry.day = QString::number(date.day());
            entry.month = QString::number(date.month());
            entry.year = QString::number(date.year());
        }
        if (supplier && customer) {
            rows.push_back(unreadable(row, Problem::BothOurs));
            continue;
        }
        if (!supplier && !customer) {
            rows.push_back(unreadable(row, Problem::NotOurs));
            continue;
        }
        if (!date.isValid()) {
            rows.push_back(unreadable(row, Problem::Date, invoice.issueDate));
            continue;
        }
        if (row.party.name.isEmpty()) {
            rows.push_back(unreadable(row, Problem::MissingField, u"cac:PartyName"_s));
            continue;
        }
        entry.currency = currencyOf(invoice.currency);
        if (entry.currency.isEmpty()) {
            rows.push_back(unreadable(row, Problem::Currency, invoice.currency));
            continue;
        }
        // A lira invoice keeps the add dialog's "0"; a foreign one the rate it was issued at.
        entry.rate = ledger::isForeign(entry.currency) ? invoice.exchangeRate : u"0"_s;
        std::tie(entry.vatRate, row.vatRates) = vatRatesOf(invoice);
        const auto checked = checkEntryNumbers(entry.amount, entry.currency, entry.rate, entry.vatRate);
        if (const auto *refusal = std::get_if<EntryRefusal>(&checked)) {
            const Problem problem = problemOf(*refusal);
            rows.push_back(unreadable(row, problem,
                                      problem == Problem::Rate      ? entry.rate
                                      : problem == Problem::VatRate ? entry.vatRate
                                                                    : entry.amount));
            continue;
        }
        entry.amount = ledger::amountText(std::get<ledger::Kurus>(checked), 2);
        entry.content = contentOf(invoice, row.vatRates);
        entry.note =
            u"%1 ETTN: %2"_s.arg(invoice.profile == "EARSIVFATURA"_L1 ? u"e-Arşiv"_s : u"e-Fatura"_s, invoice.uuid);
        const InvoiceStore::KnownCompany *company = known.find(row.party);
        row.newCompany = !company;
        entry.source = company ? company->name : row.party.name;
        const QStringList &offered = categories[entry.kind];
        const QString remembered = chosen.value(InvoiceStore::categoryKey(row.party.taxNumber, entry.kind));
        entry.category = offered.contains(remembered) ? remembered : offered.value(0);
        // Recorded before, or earlier in these files: one invoice is never two entries.
        const QString key = InvoiceStore::invoiceKey(entry.source, entry.invoice);
        const bool recorded = uuids.contains(invoice.uuid) || numbers.contains(key);
        row.state = recorded ? State::Recorded : State::New;
        uuids.insert(invoice.uuid);
        numbers.insert(key);
        rows.push_back(row);
    }
    return rows;
}

InvoiceImport::Outcome InvoiceImport::record(const std::vector<Row> &rows, const QString &own)
{
    Outcome outcome;
    if (!isTaxNumber(own)) {
        outcome.result = Result<Refusal>::refused(Refusal::TaxNumber);
        return outcome;
    }
    db::Connection connection;
    db::Transaction transaction(connection);
    InvoiceStore store(connection);
    store.keepOwnTaxNumber(own);
    std::optional<KnownCompanies> known;
    for (qsizetype i = 0; i < qsizetype(rows.size()); ++i) {
        const Row &row = rows[size_t(i)];
        if (row.state != State::New)
            continue;
        Entry entry = row.entry;
        // Read under the write lock, and again after a company is added: another desk, or an
        // earlier invoice of these files, may have added it.
        if (!known)
            known.emplace(store.companies());
        const InvoiceStore::KnownCompany *company = known->find(row.party);
        if (!company) {
            const QString relation =
                relationText(entry.kind == ledger::income() ? Relation::Customer : Relation::Supplier);
            Companies::add(connection, {-1,
                                        row.party.name,
                                        row.party.address,
                                        row.party.taxOffice,
                                        row.party.taxNumber,
                                        {},
                                        {},
                                        relation,
                                        {}});
            ++outcome.companies;
            known->add({-1, row.party.name, row.party.taxNumber, relation}); // its RowId is read when needed
            company = known->find(row.party);
        } else if (!standsFor(company->relation, entry.kind)) {
            if (company->rowId < 0) {
                known.emplace(store.companies());
                company = known->find(row.party);
            }
            // A customer we now buy from, or a supplier we sell to: it is both from now on.
            store.makeSupplierAndCustomer(company->rowId);
            known->add({company->rowId, company->name, company->taxNumber, relation::supplierAndCustomer()});
            company = known->find(row.party);
        }
        entry.source = company ? company->name : row.party.name;
        if (store.isRecorded(row.uuid) || store.hasInvoiceNumber(entry.source, entry.invoice)) {
            ++outcome.recordedMeanwhile;
            continue;
        }
        const Result<EntryRefusal> added = addEntry(connection, entry);
        if (!added.isDone()) {
            outcome = {};
            outcome.result = Result<Refusal>::refused(Refusal::Entry);
            outcome.entryRefusal = added.refusal;
            outcome.row = i;
            return outcome; // rolled back: nothing of these files is recorded
        }
        store.keepRecorded(row.uuid, added.rowId, entry.invoice);
        if (!entry.category.isEmpty())
            store.keepCategory(row.party.taxNumber, entry.kind, entry.category);
        ++outcome.entries;
    }
    transaction.commit();
    outcome.result = Result<Refusal>::done();
    return outcome;
}

} // namespace core
