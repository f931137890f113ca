#pragma once

#include "core/Server.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ConnectionDialog;
}

// "Veritabanı Bağlantısı": the file on this computer, or a PostgreSQL server; trying a
// server, and copying Norva.db's records into an empty one.
class ConnectionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConnectionDialog(QWidget *parent = nullptr);
    ~ConnectionDialog() override;

    void onTest();
    void onCopyFile();
    void onOk();

private:
    core::ServerAddress address() const;
    void showChoice();
    // The server as typed, with a password asked for where it wants one; false after saying why.
    bool reachServer(db::Database &server, core::Server::Outcome &outcome);
    // The same, a box saying why it was not reached.
    bool reachServerOrSay(db::Database &server);

    std::unique_ptr<Ui::ConnectionDialog> ui;
};
