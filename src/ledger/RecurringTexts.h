#pragma once

#include "data/RecurringStore.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace core {
enum class EntryRefusal;
enum class RuleRefusal;
} // namespace core

// What the recurring entries' dialogs say of a rule and its days.
namespace recurring {

QStringList monthNames();           // "Ocak" to "Aralık"
QStringList weekdayNames();         // "Pazartesi" to "Pazar"
QString dateText(const QDate &day); // "31.03.2025"
// "Her ay, ayın 31. günü", "2 haftada bir Cuma", "Her yıl 29 Şubat; 3 kez", "...; 31.12.2026 tarihine kadar".
QString ruleText(const Recurrence &rule);
// Why the occurrences of a template wait: its company or its category was deleted meanwhile.
QString problemText(core::EntryRefusal problem);
// The box saying how a rule must be given.
void showRefusal(core::RuleRefusal refusal);

} // namespace recurring
