#pragma once
class QDialog;

// Shows a secondary window modally and returns its result.
class ModalShower {
public:
    virtual ~ModalShower() = default;
    virtual int showModal(QDialog& dialog) = 0;
};
