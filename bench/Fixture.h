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

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Deterministic Turkish company names.
QString companyName(int index);
