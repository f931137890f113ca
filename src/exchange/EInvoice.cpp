#include "exchange/EInvoice.h"

#include <QXmlStreamReader>

#include <functional>

using namespace Qt::StringLiterals;

namespace exchange {

namespace {

// Whether `uri` is the UBL 2 namespace of `document` ("Invoice", "CommonBasicComponents", ...):
// "urn:oasis:names:<standards body>:ubl:schema:xsd:<document>-2".
bool isUbl(QStringView uri, QStringView document)
{
    return uri.startsWith(u"urn:oasis:names:") && uri.endsWith(u"-2") && uri.chopped(2).endsWith(document) &&
           uri.chopped(2 + document.size()).endsWith(u":ubl:schema:xsd:");
}
constexpr QStringView kVatCode = u"0015"; // the tax administration's code for KDV

// Walks an invoice's elements by their place: a name means one thing only under its parent
// (the invoice's ID is not its signatory's), so each level reads its own children and skips
// whole whatever it does not know: the signature, the extensions, other taxes.
class UblWalk
{
public:
    explicit UblWalk(QXmlStreamReader &xml) : m_xml(xml) {}

    // Calls `child` with the local name of each child element of the current one in the UBL
    // aggregate or basic namespace; `child` reads the element and returns true, or returns
    // false to have it skipped.
    template <typename Child>
    void children(Child child)
    {
        while (m_xml.readNextStartElement()) {
            const QStringView space = m_xml.namespaceUri();
            const bool ubl = isUbl(space, u"CommonAggregateComponents") || isUbl(space, u"CommonBasicComponents");
            if (!ubl || !child(m_xml.name().toString()))
                m_xml.skipCurrentElement();
        }
    }

    QString text() { return m_xml.readElementText(QXmlStreamReader::SkipChildElements).simplified(); }
    QString attribute(QLatin1StringView name) const { return m_xml.attributes().value(name).toString(); }

    // The texts of the named children of the current element, each into its string; any other
    // child goes to `other`, as `children` calls it, or is skipped.
    void texts(std::initializer_list<std::pair<QLatin1StringView, QString *>> wanted,
               const std::function<bool(const QString &)> &other = {})
    {
        children([&](const QString &name) {
            for (const auto &[field, into] : wanted) {
                if (name == field) {
                    *into = text();
                    return true;
                }
            }
            return other && other(name);
        });
    }

    // The text of the element at `path` under the current one (e.g. {u"TaxScheme", u"Name"}).
    QString textAt(std::initializer_list<QStringView> path)
    {
        QString found;
        at(path.begin(), path.end(), found);
        return found;
    }

    InvoiceParty party()
    {
        InvoiceParty party;
        QString firstName, middleName, familyName;
        children([&](const QString &name) {
            if (name != "Party"_L1)
                return false;
            children([&](const QString &part) {
                if (part == "PartyIdentification"_L1) {
                    children([&](const QString &id) {
                        if (id != "ID"_L1)
                            return false;
                        const QString scheme = attribute("schemeID"_L1).trimmed().toUpper();
                        const QString number = text();
                        if ((scheme == "VKN"_L1 || scheme == "TCKN"_L1) && party.taxNumber.isEmpty())
                            party.taxNumber = number;
                        return true;
                    });
                } else if (part == "PartyName"_L1) {
                    party.name = textAt({u"Name"});
                } else if (part == "PostalAddress"_L1) {
                    party.address = address();
                } else if (part == "PartyTaxScheme"_L1) {
                    party.taxOffice = textAt({u"TaxScheme", u"Name"});
                } else if (part == "Person"_L1) {
                    texts(
                        {{"FirstName"_L1, &firstName}, {"MiddleName"_L1, &middleName}, {"FamilyName"_L1, &familyName}});
                } else {
                    return false;
                }
                return true;
            });
            return true;
        });
        if (party.name.isEmpty())
            party.name = QStringList{firstName, middleName, familyName}.join(u' ').simplified();
        return party;
    }

    void taxTotal(Invoice &invoice)
    {
        children([&](const QString &name) {
            if (name != "TaxSubtotal"_L1)
                return false;
            InvoiceVat vat;
            QString code, scheme, exemption, exemptionCode;
            children([&](const QString &field) {
                if (field == "TaxableAmount"_L1) {
                    vat.taxable = text();
                } else if (field == "TaxAmount"_L1) {
                    vat.amount = text();
                } else if (field == "Percent"_L1) {
                    vat.percent = text();
                } else if (field == "TaxCategory"_L1) {
                    children([&](const QString &part) {
                        if (part == "TaxExemptionReasonCode"_L1) {
                            exemptionCode = text();
                        } else if (part == "TaxExemptionReason"_L1) {
                            exemption = text();
                        } else if (part == "Percent"_L1 && vat.percent.isEmpty()) {
                            vat.percent = text();
                        } else if (part == "TaxScheme"_L1) {
                            texts({{"TaxTypeCode"_L1, &code}, {"Name"_L1, &scheme}});
                        } else {
                            return false;
                        }
                        return true;
                    });
                } else {
                    return false;
                }
                return true;
            });
            if (code == kVatCode || (code.isEmpty() && scheme.compare(u"KDV"_s, Qt::CaseInsensitive) == 0)) {
                invoice.vat.push_back(vat);
                if (!exemptionCode.isEmpty() || !exemption.isEmpty())
                    invoice.exemption = QStringList{exemptionCode, exemption}.join(u' ').trimmed();
            }
            return true;
        });
    }

    bool invoice(Invoice &invoice)
    {
        children([&](const QString &name) {
            if (name == "ProfileID"_L1)
                invoice.profile = text().toUpper();
            else if (name == "ID"_L1)
                invoice.number = text();
            else if (name == "UUID"_L1)
                invoice.uuid = text().toUpper();
            else if (name == "IssueDate"_L1)
                invoice.issueDate = text();
            else if (name == "InvoiceTypeCode"_L1)
                invoice.type = text().toUpper();
            else if (name == "DocumentCurrencyCode"_L1)
                invoice.currency = text().toUpper();
            else if (name == "BillingReference"_L1)
                invoice.returnedInvoice = textAt({u"InvoiceDocumentReference", u"ID"});
            else if (name == "AccountingSupplierParty"_L1)
                invoice.supplier = party();
            else if (name == "AccountingCustomerParty"_L1)
                invoice.customer = party();
            else if (name == "PricingExchangeRate"_L1)
                invoice.exchangeRate = textAt({u"CalculationRate"});
            else if (name == "TaxTotal"_L1)
                taxTotal(invoice);
            else if (name == "WithholdingTaxTotal"_L1 && invoice.withheldVat.isEmpty())
                invoice.withheldVat = textAt({u"TaxAmount"});
            else if (name == "LegalMonetaryTotal"_L1)
                invoice.payable = textAt({u"PayableAmount"});
            else if (name == "InvoiceLine"_L1) {
                const QString item = textAt({u"Item", u"Name"});
                if (!item.isEmpty())
                    invoice.lines << item;
            } else
                return false;
            return true;
        });
        return !m_xml.hasError();
    }

private:
    void at(const QStringView *step, const QStringView *end, QString &found)
    {
        children([&](const QString &name) {
            if (name != *step || !found.isEmpty())
                return false;
            if (step + 1 == end)
                found = text();
            else
                at(step + 1, end, found);
            return true;
        });
    }

    QString address()
    {
        QString street, number, district, city, zone, country;
        texts({{"StreetName"_L1, &street},
               {"BuildingNumber"_L1, &number},
               {"CitySubdivisionName"_L1, &district},
               {"CityName"_L1, &city},
               {"PostalZone"_L1, &zone}},
              [&](const QString &name) {
                  if (name != "Country"_L1)
                      return false;
                  country = textAt({u"Name"});
                  return true;
              });
        QStringList parts;
        parts << (number.isEmpty() ? street : u"%1 No:%2"_s.arg(street, number)).trimmed();
        parts << QStringList{zone, district}.join(u' ').trimmed();
        parts << city;
        if (country.compare(u"Türkiye"_s, Qt::CaseInsensitive) != 0 && country.compare(u"Turkey"_s) != 0)
            parts << country;
        parts.removeAll(QString());
        return parts.join(u", "_s);
    }

    QXmlStreamReader &m_xml;
};

InvoiceDocument fault(InvoiceFault why, const QString &detail = {})
{
    InvoiceDocument document;
    document.fault = why;
    document.detail = detail;
    return document;
}

// The first field every invoice has that this one lacks; empty when none does.
QString missingField(const Invoice &invoice)
{
    const std::pair<const QString *, const char16_t *> required[] = {
        {&invoice.number, u"cbc:ID"},
        {&invoice.uuid, u"cbc:UUID"},
        {&invoice.issueDate, u"cbc:IssueDate"},
        {&invoice.currency, u"cbc:DocumentCurrencyCode"},
        {&invoice.supplier.taxNumber, u"cac:AccountingSupplierParty"},
        {&invoice.customer.taxNumber, u"cac:AccountingCustomerParty"},
        {&invoice.payable, u"cbc:PayableAmount"},
    };
    for (const auto &[value, name] : required)
        if (value->isEmpty())
            return QString::fromUtf16(name);
    return {};
}

} // namespace

InvoiceDocument readInvoice(QByteArrayView bytes)
{
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), bytes.size()));
    // Nothing of a DTD is used: an invoice never has one, and its entities could expand
    // without end. The reader is refused before it reads the declarations.
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            return fault(InvoiceFault::Doctype);
        if (token == QXmlStreamReader::StartElement)
            break;
    }
    if (xml.hasError() || xml.tokenType() != QXmlStreamReader::StartElement)
        return fault(InvoiceFault::BrokenXml, QString::number(xml.lineNumber()));
    if (xml.name() != "Invoice"_L1 || !isUbl(xml.namespaceUri(), u"Invoice"))
        return fault(InvoiceFault::NotInvoice, xml.qualifiedName().toString());
    Invoice invoice;
    if (!UblWalk(xml).invoice(invoice))
        return fault(InvoiceFault::BrokenXml, QString::number(xml.lineNumber()));
    // Whatever follows the invoice must be well-formed too: a file cut short is not an invoice.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return fault(InvoiceFault::BrokenXml, QString::number(xml.lineNumber()));
    if (const QString missing = missingField(invoice); !missing.isEmpty())
        return fault(InvoiceFault::MissingField, missing);
    InvoiceDocument document;
    document.invoice = std::move(invoice);
    return document;
}

} // namespace exchange
