#pragma once
// "Sources de notices...": which services are asked and in what order, Google Books' key,
// the form of authors' names and the services' addresses (a mirror, a test server).
#include "lookup/Sources.h"

#include <QDialog>

#include <span>
#include <vector>

class Dialogs;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QRadioButton;

class NoticeSources : public QDialog {
    Q_OBJECT
public:
    // One line of the list and one address per source of `table`.
    NoticeSources(Dialogs& dialogs, QWidget* parent = nullptr,
                  std::span<const q7::lookup::Source> table = q7::lookup::sources());

    void setSettings(const q7::lookup::NoticeSettings& settings);
    q7::lookup::NoticeSettings settings() const;

    void accept() override; // refuses an address that is not one

private:
    struct Row {
        const q7::lookup::Source* source;
        QLineEdit* address;
        QLineEdit* key; // null for a source that needs none
    };
    void move(int by);
    void keyChanged();
    const Row& rowOf(const QListWidgetItem* item) const;

    Dialogs& dialogs_;
    QListWidget* list_;
    std::vector<Row> rows_; // in the table's order
    QRadioButton* forenameFirst_;
    QRadioButton* surnameFirst_;
};
