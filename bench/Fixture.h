#pragma once

#include <QString>
#include <QTemporaryDir>

// A working directory holding a generated Norva.db, made the same way every
// run. The previous working directory comes back when it goes.
class BenchDatabase
{
public:
    BenchDatabase();
    ~BenchDatabase();

    QString path() const { return m_dir.path(); }

    // GelirGider rows naming `companies` companies, spread over `years` years from `firstYear`.
    void addEntries(int count, int companies = 500, int firstYear = 2024, int years = 3);
    void addCompanies(int count); // Firmalar rows
    // GelirGider rows all in one month, two in three income, naming `companies` companies.
    void addMonth(int count, int month, int year, int companies);

    // Copies every record made so far onto the PostgreSQL server the PG* variables name, in
    // a schema of its own, and makes it the database every connection opens; false when no
    // server is named. The schema goes with the fixture.
    bool moveToServer();

private:
    QTemporaryDir m_dir;
    QString m_previous;
    QString m_schema;
};

// Walks `statement` straight on SQLite's C API, by column index, without
// conversion: the text of its first column and the integer of its second, the
// file opened and closed around it. The floor a list's walk is measured against.
void rawSqliteWalk(const char *statement);

// Deterministic Turkish company names.
QString companyName(int index);
