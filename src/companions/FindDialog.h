#pragma once
// A modeless find box: the text to look for and "Suivant". Qt has no standard one.
// It always searches forward, letter case respected; its owner does the searching.
#include <QDialog>

#include <memory>

namespace Ui {
class FindDialog;
}

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);
    ~FindDialog() override;

    QString findText() const;
    void setFindText(const QString& text);
    // Shows the box beside its owner, the text selected for typing.
    void present();

Q_SIGNALS:
    void find(const QString& text);

private:
    std::unique_ptr<Ui::FindDialog> ui;
};
