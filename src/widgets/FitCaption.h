#pragma once
// The record window places its captions where its designer put them, sized for the
// font of the time. With a larger desktop font a caption would be cut by the field beside
// it ("Nombre de pa"): it is drawn a little smaller instead, never cut.
class QLabel;

void fitCaption(QLabel& label);
