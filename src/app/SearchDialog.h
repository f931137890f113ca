#pragma once

#include "analysis/Search.h"

#include <QDialog>
#include <QThreadPool>

#include <memory>

class QTimer;
class QTreeWidgetItem;

namespace Ui {
class SearchDialog;
}

// "Ara": one text looked for in every kind of record as the user types, the hits grouped by kind;
// Enter or a double-click opens a hit in its own window with that record chosen. The search runs
// beside the window, so typing never waits for it.
class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SearchDialog(const QString &text, QWidget *parent = nullptr);
    ~SearchDialog() override;

    void search();                       // now, for the text as it is
    void openHit(QTreeWidgetItem *item); // a hit's record in its own window
    bool isSearching() const { return m_running > 0; }

private:
    void showResults(int generation, const analysis::SearchResults &results);

    std::unique_ptr<Ui::SearchDialog> ui;
    QTimer *m_typing;
    QThreadPool m_pool; // one search at a time; a newer text's results replace an older's
    int m_generation = 0;
    int m_running = 0;
};
