#pragma once

class QPlainTextEdit;

// Keeps a multi-line box to at most `maximum` characters, typed or pasted,
// like the input limit of a one-line box.
void limitPlainText(QPlainTextEdit *edit, int maximum);
