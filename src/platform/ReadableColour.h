#pragma once
// Colours the windows were drawn with (the blue status line, the red captions) were chosen
// on a light background. With a dark theme they are kept where they still read, and moved
// towards the theme's text colour, hue kept, where they would not.
#include <QColor>

class QWidget;

// The contrast ratio of two colours, from 1 (same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// `wanted` when it reads on `background` (4.5:1 at least); otherwise the nearest shade of
// it towards white or black that does.
QColor readableOn(const QColor& wanted, const QColor& background);

// Applies readableOn to the text colour of every style sheet below `root` that sets one
// without a background of its own, against the palette's background.
void keepColoursReadable(QWidget& root);
