#include "vault/SealedMemberships.h"

#include "data/Database.h"
#include "data/Statements.h"
#include "data/TableStatements.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace vault {

namespace {

// The sealed columns, in the order stored, each with the member that holds it.
struct SealedColumn
{
    const char *name;
    QString Membership::*field;
};
const std::vector<SealedColumn> &sealedColumns()
{
    static const std::vector<SealedColumn> columns = [] {
        const std::pair<const char *, QString Membership::*> fields[] = {
            {"UyelikYeri", &Membership::place}, {"KullaniciAdi", &Membership::userName},
            {"Parola", &Membership::password},  {"Mail", &Membership::mail},
            {"Web", &Membership::web},          {"Notlar", &Membership::notes}};
        std::vector<SealedColumn> sealed;
        for (const schema::Column &column : schema::kParolalar.columns) {
            if (!column.sealed)
                continue;
            const auto *field = std::find_if(std::begin(fields), std::end(fields),
                                             [&](const auto &known) { return qstrcmp(known.first, column.name) == 0; });
            Q_ASSERT(field != std::end(fields));
            sealed.push_back({column.name, field->second});
        }
        return sealed;
    }();
    return columns;
}

// What becomes of one stored value; nothing when it cannot be done.
using Recode = std::function<std::optional<QString>(const QString &value, const char *column)>;

std::optional<QString> openValue(const Key &key, const QString &value, const char *column)
{
    return isSealed(value) ? key.open(value, column) : std::optional<QString>(value);
}

Error unopenable(const QString &place)
{
    return Error{u"\"%1\" üyeliğinin şifreli bilgileri açılamadı; kayıt bozulmuş olabilir. Hiçbir şey "
                 u"değiştirilmedi."_s.arg(place)};
}

void recodeRows(db::Connection &connection, const Recode &recode);

// Every membership and every membership in the trash, recoded in one
// transaction with `last` run in it too, leaving no plain value behind.
void recodeAll(db::Connection &connection, const Recode &recode, const std::function<void()> &last)
{
    changeLeavingNoTrace(connection, [&] {
        recodeRows(connection, recode);
        last();
    });
}

void recodeRows(db::Connection &connection, const Recode &recode)
{
    QList<db::Values> updates;
    for (db::Rows rows = connection.query(sql::kSealedMemberships); !rows.atEnd(); rows.moveNext()) {
        db::Values values;
        for (const SealedColumn &column : sealedColumns()) {
            const std::optional<QString> value = recode(rows.text(column.name), column.name);
            if (!value)
                throw unopenable(rows.text("UyelikYeri"));
            values.append(*value);
        }
        values.append(rows.rowId());
        updates.append(values);
    }
    db::PreparedQuery update = connection.prepare(sql::updateSealed(schema::kParolalar).constData());
    for (const db::Values &values : updates)
        update.execute(values);

    updates.clear();
    for (db::Rows rows = connection.query(sql::kTrashedMemberships); !rows.atEnd(); rows.moveNext()) {
        QJsonObject record = QJsonDocument::fromJson(rows.text("Record").toUtf8()).object();
        for (const SealedColumn &column : sealedColumns()) {
            const QJsonValue stored = record.value(QLatin1StringView(column.name));
            if (!stored.isString())
                continue; // a NULL stays NULL
            const std::optional<QString> value = recode(stored.toString(), column.name);
            if (!value)
                throw unopenable(record.value("UyelikYeri"_L1).toString());
            record.insert(QLatin1StringView(column.name), *value);
        }
        updates.append({QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Compact)), rows.rowId()});
    }
    db::PreparedQuery updateTrash = connection.prepare(sql::kTrashedMembershipUpdate);
    for (const db::Values &values : updates)
        updateTrash.execute(values);
}

Key newKey(const QString &password, const KeyParameters &parameters)
{
    std::optional<Key> key = Key::derive(password, parameters);
    if (!key)
        throw Error{u"Ana parolanın anahtarı üretilemedi: bellek yetmedi. Hiçbir şey değiştirilmedi."_s};
    return std::move(*key);
}

} // namespace

std::optional<MasterPassword> storedMasterPassword(db::Connection &connection)
{
    db::Rows rows = connection.query(sql::kMasterPassword);
    if (rows.atEnd())
        return std::nullopt;
    const std::optional<KeyParameters> parameters = KeyParameters::fromText(rows.text("KeyParameters"));
    if (!parameters)
        throw Error{u"Ana parolanın ayarları okunamadı; dosya bozulmuş olabilir."_s};
    return MasterPassword{*parameters, rows.text("CheckValue")};
}

std::optional<Key> unlock(const MasterPassword &stored, const QString &password)
{
    std::optional<Key> key = Key::derive(password, stored.parameters);
    if (key && key->matchesCheck(stored.check))
        return key;
    return std::nullopt;
}

Membership sealed(const Key &key, Membership membership)
{
    for (const SealedColumn &column : sealedColumns())
        membership.*column.field = key.seal(membership.*column.field, column.name);
    return membership;
}

std::optional<Membership> opened(const Key &key, Membership membership)
{
    for (const SealedColumn &column : sealedColumns()) {
        const std::optional<QString> value = openValue(key, membership.*column.field, column.name);
        if (!value)
            return std::nullopt;
        membership.*column.field = *value;
    }
    return membership;
}

Key setMasterPassword(db::Connection &connection, const QString &password, const KeyParameters &parameters)
{
    Key key = newKey(password, parameters);
    recodeAll(
        connection,
        [&key](const QString &value, const char *column) -> std::optional<QString> {
            return isSealed(value) ? value : key.seal(value, column);
        },
        [&] {
            if (storedMasterPassword(connection))
                throw Error{u"Bir ana parola zaten belirlenmiş."_s};
            connection.execute(sql::kMasterPasswordSet, {parameters.toText(), key.makeCheck()});
        });
    return key;
}

Key changeMasterPassword(db::Connection &connection, const Key &current, const QString &password,
                         const KeyParameters &parameters)
{
    Key key = newKey(password, parameters);
    recodeAll(
        connection,
        [&](const QString &value, const char *column) -> std::optional<QString> {
            const std::optional<QString> plain = openValue(current, value, column);
            return plain ? std::optional<QString>(key.seal(*plain, column)) : std::nullopt;
        },
        [&] {
            connection.execute(sql::kMasterPasswordSet, {parameters.toText(), key.makeCheck()});
        });
    return key;
}

void removeMasterPassword(db::Connection &connection, const Key &current)
{
    recodeAll(
        connection, [&current](const QString &value, const char *column) { return openValue(current, value, column); },
        [&] { connection.execute(sql::kMasterPasswordRemove); });
}

} // namespace vault
