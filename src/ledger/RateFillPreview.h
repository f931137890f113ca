#pragma once

#include "core/ExchangeRates.h"

#include <QDialog>

#include <memory>

namespace Ui {
class RateFillPreview;
}

// What "Kurları Doldur" is about to write, an entry a row, before anything is written:
// "Kurları Yaz" accepts, "Vazgeç" writes nothing.
class RateFillPreview : public QDialog
{
    Q_OBJECT
public:
    // `note` says what could not be fetched, if anything.
    RateFillPreview(const core::RateFillPlan &plan, RateKind kind, const QString &note, QWidget *parent = nullptr);
    ~RateFillPreview() override;

private:
    std::unique_ptr<Ui::RateFillPreview> ui;
};
