#include "CsvReader.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

CsvRead parseCsv(QByteArrayView bytes)
{
    CsvRead result;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        result.error = u"Dosya UTF-8 kodlamasında değil."_s;
        return result;
    }

    const auto refuse = [&result](int line, const QString &what) {
        result.rows.clear();
        result.error = u"Dosyanın %1. satırında %2."_s.arg(line).arg(what);
        return result;
    };

    QStringList row;
    QString value;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        // One value, at its first character.
        value.clear();
        if (text.at(i) == u'"') {
            const int opened = line;
            ++i;
            for (;;) {
                if (i == n)
                    return refuse(opened, u"açılan tırnak kapanmıyor"_s);
                const QChar c = text.at(i++);
                if (c == u'"') {
                    if (i < n && text.at(i) == u'"') {
                        value += u'"';
                        ++i;
                        continue;
                    }
                    break;
                }
                if (c == u'\n')
                    ++line;
                value += c;
            }
        } else {
            while (i < n) {
                const QChar c = text.at(i);
                if (c == u';' || c == u'\r' || c == u'\n')
                    break;
                if (c == u'"')
                    return refuse(line, u"tırnaksız bir değerin içinde tırnak var"_s);
                value += c;
                ++i;
            }
        }
        row.append(value);

        // What follows a value: a separator, a line end or the end.
        if (i == n)
            break;
        const QChar c = text.at(i);
        if (c == u';') {
            ++i;
            if (i == n)
                row.append(QString());
            continue;
        }
        if (c == u'\r') {
            if (i + 1 == n || text.at(i + 1) != u'\n')
                return refuse(line, u"satır sonu olmayan bir CR var"_s);
            ++i;
        }
        if (text.at(i) != u'\n')
            return refuse(line, u"kapanan tırnaktan sonra ayraç yerine başka bir şey var"_s);
        ++i;
        if (!result.rows.isEmpty() && row.size() != result.rows.first().size())
            return refuse(line, u"%1 değer var, başlık satırında %2"_s.arg(row.size()).arg(result.rows.first().size()));
        result.rows.append(row);
        row.clear();
        ++line;
    }
    if (!row.isEmpty()) {
        if (!result.rows.isEmpty() && row.size() != result.rows.first().size())
            return refuse(line, u"%1 değer var, başlık satırında %2"_s.arg(row.size()).arg(result.rows.first().size()));
        result.rows.append(row);
    }
    return result;
}
