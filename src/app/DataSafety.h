#pragma once

#include <QObject>

class QThread;

// Meets a damaged Norva.db at start: says what is wrong and offers the newest
// sound backup or a new file, keeping the damaged one either way. True when
// the file may be used (it was sound, or has been replaced); false when it is
// left as it is.
bool recoverDamagedFile();

// The first start of a day backs Norva.db up, on a thread of its own so the
// window answers meanwhile.
class DailyBackup : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DailyBackup() override; // waits for a backup under way

    void start();

signals:
    // Why the backup failed, once; emitted on the backup's thread.
    void failed(const QString &text);

private:
    QThread *m_thread = nullptr;
};
