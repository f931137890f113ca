#pragma once

class QAbstractItemView;
class QComboBox;
class QLabel;

// Stored values (a company's name, a category) may be of any length; these keep
// them from deciding a dialog's size. The widget shows a value too long for it
// elided at the right ("…"), and whole in its tooltip; what it holds and gives
// back stays whole. Every list and combo box of stored values goes through them,
// so that all elide alike.

// A list: every row as wide as the list, a long one elided, so that no row
// calls for a horizontal scroll bar.
void elideStoredValues(QAbstractItemView *view);
// A combo box, closed and open. Its open list is as wide as its longest entry
// up to the screen, which elides what is wider still.
void elideStoredValues(QComboBox *combo);
// The combo box is also about `characters` wide whatever its entries.
void fitStoredValues(QComboBox *combo, int characters = 30);
// The label takes the width the layout gives it instead of its text's.
void fitStoredValue(QLabel *label);
