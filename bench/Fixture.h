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

    void addEntries(int count, int companies = 500); // GelirGider rows naming `companies` companies
    void addCompanies(int count); // Firmalar rows

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Deterministic Turkish company names.
QString companyName(int index);
