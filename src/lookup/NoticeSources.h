#pragma once
// "Sources de notices...": which services are asked and in what order, Google Books' key,
// the form of authors' names and the services' addresses (a mirror, a test server).
#include "lookup/Sources.h"

#include <QDialog>

class Dialogs;
class QLineEdit;
class QListWidget;
class QRadioButton;

class NoticeSources : public QDialog {
    Q_OBJECT
public:
    NoticeSources(Dialogs& dialogs, QWidget* parent = nullptr);

    void setSettings(const q7::lookup::NoticeSettings& settings);
    q7::lookup::NoticeSettings settings() const;

    void accept() override; // refuses an address that is not one

private:
    void move(int by);
    void keyChanged();

    Dialogs& dialogs_;
    QListWidget* list_;
    QLineEdit* key_;
    QLineEdit* address_[3];
    QRadioButton* forenameFirst_;
    QRadioButton* surnameFirst_;
};
