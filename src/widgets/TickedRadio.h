#pragma once
// Tab reaches a group of radio buttons at the ticked one, as on the other desktop
// toolkits and as screen-reader users expect; the arrows then move the tick. The others
// still take a click.
#include <initializer_list>

class QRadioButton;

void tabToTheTickedRadio(std::initializer_list<QRadioButton*> group);
