#pragma once

class QComboBox;
class QLabel;

// Stored values (a company's name, a category) may be of any length; these keep
// them from deciding a dialog's size. The widget shows a value too long for it
// elided, and whole in its tooltip; what it holds and gives back stays whole.

// The combo box is about `characters` wide whatever its entries; its open list
// shows every entry whole.
void fitStoredValues(QComboBox *combo, int characters = 30);
// The label takes the width the layout gives it instead of its text's.
void fitStoredValue(QLabel *label);
