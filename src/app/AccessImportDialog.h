#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AccessImportDialog;
}
namespace db {
struct Error;
}
namespace core {
class Imports;
}
namespace exchange {
struct AccessError;
}

// Why a step on Norva.db failed, for the import's box and the terminal: a Turkish sentence,
// then the engine's own words on a line of their own.
QString databaseReason(const db::Error &error);
// Why the Access file cannot be read, in a Turkish sentence (without libmdb's words).
QString accessReason(const exchange::AccessError &error);

// Brings the records of the earlier program's Access file into Norva.db:
// shows what the file holds, lets the user add to the records there or
// replace them, and writes everything in one go with a progress dialog.
class AccessImportDialog : public QDialog
{
    Q_OBJECT
public:
    // `hasRecords`: whether Norva.db holds records, and so offers the choice.
    AccessImportDialog(std::unique_ptr<core::Imports> import, const QString &path, bool hasRecords,
                       QWidget *parent = nullptr);
    ~AccessImportDialog() override;

    // Asks for the file, reads it and runs the dialog; every failure is told in a box.
    static void importFile(QWidget *owner);

signals:
    // Rows written so far, as the progress dialog shows them.
    void rowsWritten(int written, int total);

private:
    void onImport();

    std::unique_ptr<Ui::AccessImportDialog> ui;
    std::unique_ptr<core::Imports> m_import;
    bool m_hasRecords;
};
