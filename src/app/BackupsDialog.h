#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QStandardItemModel;

namespace db {
struct BackupFailure;
}

namespace Ui {
class BackupsDialog;
}

// "Yedekler": the backups in Yedekler/, newest first, with what each holds;
// backing up now, putting a backup back, and opening the folder.
class BackupsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BackupsDialog(QWidget *parent = nullptr);
    ~BackupsDialog() override;

    // A backup's kind, as the list shows it.
    static QString reasonText(const QString &reason);
    // Why the last backup failed, as the list and the main window tell it; empty since one succeeded.
    static QString failureText(const std::optional<db::BackupFailure> &failure);
    // A size for people: "812 B", "35.2 KB", "18.4 MB".
    static QString sizeText(qint64 bytes);

    void onBackUpNow();
    void onRestore();
    void onOpenFolder();

private:
    void loadCopies();
    // Runs a step with the wait cursor, then lists the copies again; false after the error box.
    bool runWaiting(const std::function<void()> &step);
    QString selectedPath() const;

    std::unique_ptr<Ui::BackupsDialog> ui;
    QStandardItemModel *m_model;
};
