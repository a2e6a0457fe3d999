#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

Today QtClock::today() {
    const QDate d = QDate::currentDate();
    return {d.day(), d.month(), d.year()};
}

void QtCursor::pushBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtCursor::popBusy() {
    QApplication::restoreOverrideCursor();
}

bool QtLauncher::startDetached(const QString& commandLine) {
    // A path naming an existing file is started as it is, blanks included;
    // anything else is split as a shell would.
    if (commandLine.trimmed().isEmpty()) return false;
    if (QFileInfo(commandLine).isFile()) return QProcess::startDetached(commandLine, {});
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty()) return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

bool QtLauncher::openMailto(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

QString QtLauncher::findProgram(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

int QtModalShower::showModal(QDialog& dialog) {
    return dialog.exec();
}
