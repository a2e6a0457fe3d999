#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget* owner() {
    return QApplication::activeWindow();
}

bool yesNo(QMessageBox::Icon icon, const QString& title, const QString& text, const QString& yes,
           const QString& no, bool defaultNo = false) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, owner());
    QPushButton* y = box.addButton(yes, QMessageBox::YesRole);
    QPushButton* n = box.addButton(no, QMessageBox::NoRole);
    box.setDefaultButton(defaultNo ? n : y);
    box.setEscapeButton(n);
    box.exec();
    return box.clickedButton() == y;
}
} // namespace

void QtDialogs::beep() {
    QApplication::beep();
}

void QtDialogs::informationSound() {
    QApplication::beep();
}

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, programName_, text, QMessageBox::Ok, owner());
    box.exec();
}

void QtDialogs::information(const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
                    owner());
    box.exec();
}

bool QtDialogs::confirm(const QString& text) {
    return yesNo(QMessageBox::Question, QStringLiteral("Confirmation"), text,
                 QStringLiteral("&Oui"), QStringLiteral("&Non"));
}

bool QtDialogs::confirmDefaultNo(const QString& text) {
    return yesNo(QMessageBox::Question, QStringLiteral("Confirmation"), text,
                 QStringLiteral("&Oui"), QStringLiteral("&Non"), true);
}

bool QtDialogs::informationQuestion(const QString& text) {
    return yesNo(QMessageBox::Information, QStringLiteral("Information"), text,
                 QStringLiteral("&Oui"), QStringLiteral("&Non"));
}

void QtDialogs::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, programName_, text, QMessageBox::Ok, owner());
    box.exec();
}

std::optional<QString> QtDialogs::saveFileName(const QString& caption, const QString& dir,
                                               const QStringList& filters) {
    QFileDialog dialog(owner(), caption, dir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // The extension follows the filter chosen: "(*.svg)" gives "svg".
    const auto suffixOf = [](const QString& filter) {
        const qsizetype dot = filter.lastIndexOf(u'.');
        return dot < 0 ? QString() : filter.mid(dot + 1).chopped(1);
    };
    if (!filters.isEmpty()) dialog.setDefaultSuffix(suffixOf(filters.first()));
    // The name typed follows the filter chosen too, when it ends with another filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters, suffixOf](const QString& f) {
                         const QString suffix = suffixOf(f);
                         dialog.setDefaultSuffix(suffix);
                         const QStringList typed = dialog.selectedFiles();
                         if (typed.isEmpty() || suffix.isEmpty()) return;
                         const QFileInfo name(typed.constFirst());
                         for (const QString& other : filters)
                             if (const QString old = suffixOf(other);
                                 !old.isEmpty() && old != suffix &&
                                 name.suffix().compare(old, Qt::CaseInsensitive) == 0)
                                 dialog.selectFile(name.completeBaseName() + u'.' + suffix);
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::openFileName(const QString& caption, const QString& filter) {
    const QString name = QFileDialog::getOpenFileName(owner(), caption, QString(), filter);
    if (name.isEmpty()) return std::nullopt;
    return name;
}
