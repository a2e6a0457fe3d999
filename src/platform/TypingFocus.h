#pragma once
// A command that puts the caret in a field readies it for typing: its whole text is
// selected, so what the collector types replaces what the field showed ("Vide", the last
// value, the rank 1) instead of being added to it.
class QWidget;

// Gives `field` the focus and selects its text when it holds any (edit, editable
// drop-down, spin box); other controls only take the focus.
void focusForTyping(QWidget* field);
