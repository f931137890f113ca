#pragma once

#include "data/EntryStore.h"

#include <QDialog>

#include <memory>
#include <optional>

class QComboBox;
class RowListModel;

namespace core {
class RateFetch;
}
namespace ledger {
class RateField;
}

namespace Ui {
class HareketTablosu;
}

// The entries table: lists the entries by kind, month and year, shows one in
// full, saves changes to it or deletes it, and totals a month or a year.
class HareketTablosu : public QDialog
{
    Q_OBJECT
public:
    explicit HareketTablosu(QWidget *parent = nullptr);
    ~HareketTablosu() override;

    void OnListele();
    void OnSelChangeEntryList();
    bool LoadEntryDetails(qint32 rowId); // false after the error box
    void OnSelChangeYearFilter();
    void OnKaydet();
    void OnSil();
    void OnHesapla();
    void OnAylikRapor();
    void OnCsvAktar();
    void OnKurlariDoldur();

    qint32 selectedRowId() const { return m_nSelectedRowId; }
    // Lists the entry's month and year and shows the entry, for a window that opens it here.
    void chooseRow(qint32 rowId);

private:
    // The entries the filters name: kind ("Gelir", "Gider" or empty for both), month and year (0: any).
    struct Filters
    {
        QString kind;
        int month;
        int year;
    };
    Filters filters() const;
    void fillFilters();
    void setRecordButtonsEnabled(bool enabled);
    void reportVanished();
    void showCount(); // the count and the note of rows left out, of the list as it is
    void reportChanged();
    void selectListed(qint32 rowId); // shows it, when listed and not the first
    void showTotals(const QString &income, const QString &expense, const QString &result, const QString &leftOut);
    void offerRateFill(const Filters &chosen, const QString &note);

    std::unique_ptr<Ui::HareketTablosu> ui;
    RowListModel *m_model;
    qint32 m_nSelectedRowId = -1;
    std::optional<Filters> m_listed; // the filters the list was last made with, once it was
    Entry m_shown;                   // as last read: a save writes nothing when it is stored otherwise now
    // A date or currency combo of the entry on show. When the stored value has
    // no item, the combo shows what it showed before; a save then writes the
    // stored value back, unless the user picked an item since.
    struct StoredChoice
    {
        QComboBox *combo = nullptr;
        QString stored;
        bool shown = false; // the combo shows the stored value or the user's pick
        QString value() const;
    };
    enum { Gun, Ay, Yil, Birim };
    StoredChoice m_choices[4];
    ledger::RateField *m_rate;
    core::RateFetch *m_fillFetch = nullptr; // "Kurları Doldur" fetching the bulletins it lacks
};
